#include "app/notice_area.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>

#include "app/texts.h"

namespace paipan {

NoticeArea::NoticeArea(int height, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("NoticeArea"));
    setFixedHeight(height);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("NoticeText"));
    text_->setFocusPolicy(Qt::ClickFocus);
    row->addWidget(text_, 1);
    button_ = new QPushButton(QString(kStandardTimeAction), this);
    button_->setObjectName(QStringLiteral("StandardTimeButton"));
    button_->hide();
    row->addWidget(button_, 0, Qt::AlignTop);
}

void NoticeArea::showNotices(const std::vector<Notice>& notices) {
    QStringList lines;
    shift_ = 0;
    for (const Notice& n : notices) {
        lines << QString::fromStdString(n.text);
        if (n.kind == NoticeKind::DaylightSaving) shift_ = n.shiftMinutes;
    }
    text_->setPlainText(lines.join(QLatin1Char('\n')));
    button_->setVisible(shift_ > 0);
}

void NoticeArea::clear() { showNotices({}); }

}  // namespace paipan
