// The notice area under the main window's central area: the notices of the
// last 排盘 (daylight-saving time, boundaries, longitude), each in full, and
// the one action a daylight-saving notice offers. It has a fixed height, so
// showing or clearing notices never moves the panel or the result box.
#pragma once

#include <QWidget>
#include <vector>

#include "birth/notices.h"

class QPushButton;
class QTextBrowser;

namespace paipan {

class NoticeArea : public QWidget {
    Q_OBJECT
public:
    explicit NoticeArea(int height, QWidget* parent = nullptr);

    void showNotices(const std::vector<Notice>& notices);
    void clear();

    // The daylight-saving offset the action takes off (0: no action shown).
    int shiftMinutes() const { return shift_; }
    QPushButton* standardTimeButton() const { return button_; }

private:
    QTextBrowser* text_ = nullptr;
    QPushButton* button_ = nullptr;
    int shift_ = 0;
};

}  // namespace paipan
