// The About window (Form2): modeless, one at a time, closed by a click on
// the window or its frame; the logo, the site name and the address open the
// home site.
#pragma once

#include <QWidget>

#include "app/twips.h"

class QPixmap;

namespace paipan {

class Interaction;

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    // A separate window owned by `owner`; it deletes itself when closed.
    AboutWindow(Interaction& ui, const Twips& twips, QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void buildLinks(QWidget* frame);
    void buildTexts(QWidget* frame);
    void openHomeSite();

    Interaction& ui_;
    Twips twips_;
    QWidget* frame_ = nullptr;
};

// The program's emblem: a taiji disc, `size` pixels square.
QPixmap PaintLogo(int size);

}  // namespace paipan
