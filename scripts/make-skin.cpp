// Paints the program's skin: one flat set in a navy / signal-red palette. Written as
// PNG frames and images under the output folder; make-skin.sh converts them to the
// formats and names the program loads. Run: make-skin <out-dir>
#include <QtCore/QDir>
#include <QtCore/QString>
#include <QtCore/QtMath>
#include <QtGui/QFont>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include <cstdio>
#include <functional>
#include <utility>

namespace {

const QColor kNavy(0x1e, 0x2b, 0x45);
const QColor kNavyLight(0x2e, 0x41, 0x66);
const QColor kRed(0xd8, 0x22, 0x28);
const QColor kRedDark(0xb0, 0x1a, 0x20);
const QColor kPanel(0xf2, 0xf4, 0xf7);
const QColor kBorder(0xd7, 0xd7, 0xd7);
const QColor kGrey(0x8e, 0x8e, 0x8e);
const QColor kInk(0x33, 0x3a, 0x48);
const QColor kGreen(0x1f, 0x9d, 0x55);
const QColor kOrange(0xed, 0x70, 0x20);
const QColor kWhite(Qt::white);

QString g_out;

// The main window's layout, which the background and navigation images follow.
constexpr int kWindowWidth = 1240;
constexpr int kWindowHeight = 720;
constexpr int kTitleHeight = 86;
constexpr int kMenuTop = 158;
constexpr int kMenuWidth = 190;

using Painter = std::function<void(QPainter&, int w, int h)>;

void Save(const QString& name, int w, int h, const QColor& background, const Painter& paint) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p, w, h);
    p.end();
    if (!image.save(g_out + "/" + name + ".png"))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
}

QFont Font(int pixels, bool bold = false) {
    QFont f("DejaVu Sans");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QPen Stroke(const QColor& c, qreal width) {
    QPen pen(c, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// The mark: a mast with two arcs of signal on each side.
void DrawMark(QPainter& p, QPointF c, qreal s, const QColor& color) {
    p.save();
    p.setPen(Stroke(color, s * 0.09));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 2; ++i) {
        const qreal r = s * 0.2 * i;
        const QRectF arc(c.x() - r, c.y() - s * 0.18 - r, 2 * r, 2 * r);
        p.drawArc(arc, 40 * 16, 100 * 16);
    }
    p.drawLine(QPointF(c.x(), c.y() - s * 0.12), QPointF(c.x() - s * 0.22, c.y() + s * 0.42));
    p.drawLine(QPointF(c.x(), c.y() - s * 0.12), QPointF(c.x() + s * 0.22, c.y() + s * 0.42));
    p.drawLine(QPointF(c.x() - s * 0.11, c.y() + s * 0.15),
               QPointF(c.x() + s * 0.11, c.y() + s * 0.15));
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(c.x(), c.y() - s * 0.18), s * 0.07, s * 0.07);
    p.restore();
}

void DrawMagnifier(QPainter& p, QPointF c, qreal s, const QColor& color) {
    p.setPen(Stroke(color, s * 0.14));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(c.x() - s * 0.1, c.y() - s * 0.1), s * 0.28, s * 0.28);
    p.drawLine(QPointF(c.x() + s * 0.12, c.y() + s * 0.12),
               QPointF(c.x() + s * 0.36, c.y() + s * 0.36));
}

void DrawWaves(QPainter& p, QPointF c, qreal s, const QColor& color) {
    p.setPen(Stroke(color, s * 0.12));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = s * 0.16 * i;
        p.drawArc(QRectF(c.x() - r, c.y() + s * 0.25 - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(c.x(), c.y() + s * 0.25), s * 0.08, s * 0.08);
}

void DrawRefresh(QPainter& p, QPointF c, qreal s, const QColor& color) {
    p.setPen(Stroke(color, s * 0.13));
    p.setBrush(Qt::NoBrush);
    const qreal r = s * 0.32;
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 60 * 16, 280 * 16);
    QPainterPath head;
    const QPointF tip(c.x() + r * std::cos(qDegreesToRadians(60.0)),
                      c.y() - r * std::sin(qDegreesToRadians(60.0)));
    head.moveTo(tip + QPointF(s * 0.2, -s * 0.02));
    head.lineTo(tip + QPointF(-s * 0.04, -s * 0.2));
    head.lineTo(tip + QPointF(-s * 0.02, s * 0.12));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
}

void DrawCross(QPainter& p, QPointF c, qreal s, const QColor& color, qreal width) {
    p.setPen(Stroke(color, width));
    p.drawLine(c + QPointF(-s / 2, -s / 2), c + QPointF(s / 2, s / 2));
    p.drawLine(c + QPointF(s / 2, -s / 2), c + QPointF(-s / 2, s / 2));
}

void DrawRadio(QPainter& p, QRectF box, const QColor& body, const QColor& accent) {
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(box, box.width() * 0.18, box.width() * 0.18);
    p.setBrush(accent);
    const qreal led = box.width() * 0.08;
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(
            QPointF(box.left() + box.width() * (0.3 + 0.2 * i), box.bottom() - box.height() * 0.12),
            led, led);
    p.setPen(Stroke(body, box.width() * 0.08));
    p.drawLine(QPointF(box.center().x(), box.bottom()),
               QPointF(box.center().x(), box.bottom() + box.height() * 0.35));
}

void MainBackground() {
    Save("main_bk", kWindowWidth, kWindowHeight, kWhite, [](QPainter& p, int w, int h) {
        QLinearGradient band(0, 0, w, 86);
        band.setColorAt(0, kNavy);
        band.setColorAt(1, kNavyLight);
        p.fillRect(0, 0, w, kTitleHeight, band);
        p.fillRect(0, 84, w, 2, kRed);
        DrawMark(p, QPointF(46, 44), 52, kWhite);
        p.setPen(kWhite);
        p.setFont(Font(26, true));
        p.drawText(QRectF(84, 14, 400, 36), Qt::AlignLeft | Qt::AlignVCenter, "Fieldkit");
        p.setPen(QColor(0xb8, 0xc4, 0xd9));
        p.setFont(Font(13));
        p.drawText(QRectF(86, 48, 500, 22), Qt::AlignLeft | Qt::AlignVCenter,
                   "Outdoor radio controller");
        p.fillRect(0, kTitleHeight, kMenuWidth, h - kTitleHeight, kPanel);
        p.fillRect(kMenuWidth - 1, kTitleHeight, 1, h - kTitleHeight, kBorder);
        // Device badge above the navigation.
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawRoundedRect(QRectF(16, 100, kMenuWidth - 32, 46), 8, 8);
        DrawRadio(p, QRectF(28, 110, 22, 20), kNavy, kGreen);
        p.setPen(kInk);
        p.setFont(Font(12, true));
        p.drawText(QRectF(60, 104, 92, 38), Qt::AlignLeft | Qt::AlignVCenter, "CPE / Bridge");
    });
    Save("main_left_bk", kMenuWidth, kWindowHeight - kMenuTop, kPanel,
         [](QPainter& p, int w, int h) { p.fillRect(w - 1, 0, 1, h, kBorder); });
}

void MenuButtons() {
    struct Entry {
        const char* name;
        bool down;
        void (*icon)(QPainter&, QPointF, qreal, const QColor&);
    };
    const Entry entries[] = {{"bt_menu_search_normal", false, DrawMagnifier},
                             {"bt_menu_search_down", true, DrawMagnifier},
                             {"bt_menu_wireless_normal", false, DrawWaves},
                             {"bt_menu_wireless_down", true, DrawWaves}};
    for (const auto& e : entries) {
        Save(e.name, kMenuWidth - 1, 46, e.down ? kWhite : kPanel, [&](QPainter& p, int, int h) {
            if (e.down) p.fillRect(0, 0, 4, h, kRed);
            e.icon(p, QPointF(28, 23), 22, e.down ? kRed : kGrey);
        });
    }
}

void TitleButtons() {
    const int s = 30;
    Save("close_normal", s, s, kNavyLight,
         [](QPainter& p, int w, int h) { DrawCross(p, QPointF(w / 2.0, h / 2.0), 10, kWhite, 2); });
    Save("min_normal", s, s, kNavyLight, [](QPainter& p, int w, int h) {
        p.setPen(Stroke(kWhite, 2));
        p.drawLine(QPointF(w / 2.0 - 6, h / 2.0 + 4), QPointF(w / 2.0 + 6, h / 2.0 + 4));
    });
    Save("help_normal", s, s, kNavyLight, [](QPainter& p, int w, int h) {
        p.setPen(Stroke(kWhite, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(w / 2.0, h / 2.0), 8, 8);
        p.setFont(Font(12, true));
        p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, "i");
    });
}

void HelpMenuIcons() {
    const int s = 16;
    Save("help_product_normal", s, s, kWhite,
         [](QPainter& p, int, int) { DrawRadio(p, QRectF(3, 3, 10, 8), kNavy, kGreen); });
    Save("help_support_normal", s, s, kWhite, [](QPainter& p, int, int) {
        p.setPen(Stroke(kNavy, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 0, 180 * 16);
        p.setBrush(kRed);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(2, 8, 3, 5), 1, 1);
        p.drawRoundedRect(QRectF(11, 8, 3, 5), 1, 1);
    });
    Save("help_contact_normal", s, s, kWhite, [](QPainter& p, int, int) {
        p.setPen(Stroke(kNavy, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2, 4, 12, 9));
        p.drawPolyline(QPolygonF({QPointF(2, 4), QPointF(8, 9), QPointF(14, 4)}));
    });
    Save("help_help_normal", s, s, kWhite, [](QPainter& p, int w, int h) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(kWhite);
        p.setFont(Font(11, true));
        p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, "?");
    });
}

// Captions are drawn by the program in the skin's button colours (dark, red when
// pointed at), so wide buttons stay light; an accent bar or a centred symbol marks them.
void WideButton(const char* name, int w, int h, const QColor& fill, const QColor& edge,
                const QColor& accent, void (*icon)(QPainter&, QPointF, qreal, const QColor&),
                const QColor& icon_color) {
    Save(name, w, h, kWhite, [&](QPainter& p, int, int) {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 5, 5);
        p.setPen(QPen(edge, 1));
        p.setBrush(fill);
        p.drawPath(shape);
        if (accent.isValid()) {
            p.save();
            p.setClipPath(shape);
            p.fillRect(QRectF(0, 0, 4, h), accent);
            p.restore();
        }
        if (icon) icon(p, QPointF(w / 2.0, h / 2.0), 20, icon_color);
    });
}

void PageButtons() {
    const QColor none;
    WideButton("btn_search", 110, 32, kWhite, kBorder, kRed, nullptr, none);
    WideButton("btn_update_normal", 110, 32, kWhite, kBorder, none, DrawRefresh, kInk);
    WideButton("btn_update_down", 110, 32, QColor(0xfd, 0xec, 0xec), kRed, none, DrawRefresh, kRed);
    WideButton("btn_config", 96, 32, kWhite, kBorder, kRed, nullptr, none);
    WideButton("config_btn", 96, 32, kPanel, kBorder, kNavy, nullptr, none);
    Save("close_config", 24, 24, kWhite,
         [](QPainter& p, int w, int h) { DrawCross(p, QPointF(w / 2.0, h / 2.0), 9, kInk, 2); });
    Save("close_wait", 24, 24, kWhite,
         [](QPainter& p, int w, int h) { DrawCross(p, QPointF(w / 2.0, h / 2.0), 9, kGrey, 2); });
    // The web button's word is part of the picture, hence one image per language.
    for (const auto& [name, word] : {std::pair{"web_other", QString("Web")},
                                     std::pair{"web_chinese", QString::fromUtf8("网页")}}) {
        Save(name, 96, 32, kWhite, [&](QPainter& p, int w, int h) {
            p.setPen(Qt::NoPen);
            p.setBrush(kNavy);
            p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 5, 5);
            p.setPen(Stroke(kWhite, 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(20, h / 2.0), 8, 8);
            p.drawEllipse(QRectF(16, h / 2.0 - 8, 8, 16));
            p.drawLine(QPointF(12, h / 2.0), QPointF(28, h / 2.0));
            p.setFont(Font(14, true));
            p.drawText(QRectF(34, 0, w - 40, h), Qt::AlignCenter, word);
        });
    }
}

void Pie(const char* name, const QColor& part, int span_degrees) {
    Save(name, 24, 24, kWhite, [&](QPainter& p, int, int) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBorder);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setBrush(part);
        p.drawPie(QRectF(2, 2, 20, 20), 90 * 16, -span_degrees * 16);
    });
}

void Pictures() {
    Pie("btn_pie", kGreen, 250);
    Pie("btn_pie2", kGrey, 110);
    Save("write", 16, 16, kWhite, [](QPainter& p, int, int) {
        p.setPen(Stroke(kRed, 2.4));
        p.drawLine(QPointF(4, 12), QPointF(12, 4));
        p.setPen(Stroke(kInk, 1.2));
        p.drawLine(QPointF(2.5, 13.5), QPointF(5, 13));
    });
    Save("line", 800, 1, kBorder, [](QPainter&, int, int) {});
    Save("gray_line", 800, 1, QColor(0xe6, 0xe8, 0xec), [](QPainter&, int, int) {});
    Save("orange_line", 800, 2, kOrange, [](QPainter&, int, int) {});
    for (const char* name : {"wireless_basic", "wireless_config"}) {
        const bool basic = QString(name) == "wireless_basic";
        Save(name, 120, 32, kWhite, [&](QPainter& p, int w, int h) {
            p.fillRect(0, h - 3, w, 3, basic ? kRed : kBorder);
            if (basic)
                DrawWaves(p, QPointF(16, h / 2.0 - 2), 18, kRed);
            else
                DrawRadio(p, QRectF(8, 8, 16, 13), kInk, kGreen);
        });
    }
    for (int level = 0; level <= 5; ++level) {
        Save(QString("singal_strength%1").arg(level), 40, 18, kWhite, [&](QPainter& p, int, int h) {
            p.setPen(Qt::NoPen);
            for (int bar = 0; bar < 5; ++bar) {
                const qreal bh = 4 + bar * 3;
                p.setBrush(bar < level ? (level <= 1   ? kRed
                                          : level <= 3 ? kOrange
                                                       : kGreen)
                                       : kBorder);
                p.drawRoundedRect(QRectF(4 + bar * 7, h - 1 - bh, 5, bh), 1, 1);
            }
        });
    }
}

void WaitFrames() {
    QDir().mkpath(g_out + "/wait");
    const int frames = 12;
    for (int f = 0; f < frames; ++f) {
        Save(QString("wait/frame%1").arg(f, 2, 10, QChar('0')), 32, 32, kWhite,
             [&](QPainter& p, int w, int h) {
                 for (int i = 0; i < frames; ++i) {
                     const int age = (f - i + frames) % frames;
                     QColor c = kRed;
                     c.setAlphaF(age == 0 ? 1.0 : std::max(0.12, 1.0 - age * 0.11));
                     const qreal a = qDegreesToRadians(i * 360.0 / frames - 90);
                     const QPointF from(w / 2.0 + 7 * std::cos(a), h / 2.0 + 7 * std::sin(a));
                     const QPointF to(w / 2.0 + 13 * std::cos(a), h / 2.0 + 13 * std::sin(a));
                     p.setPen(Stroke(c, 3));
                     p.drawLine(from, to);
                 }
             });
    }
}

void DrawLinkScene(QPainter& p, QRectF area, const QString& left, const QString& right,
                   const QString& caption) {
    const qreal cy = area.center().y() - 10;
    const QRectF a(area.left() + area.width() * 0.12, cy - 30, 60, 50);
    const QRectF b(area.right() - area.width() * 0.12 - 60, cy - 30, 60, 50);
    DrawRadio(p, a, kNavy, kGreen);
    DrawRadio(p, b, kNavy, kGreen);
    p.setPen(Stroke(kRed, 3));
    QPen dashed = Stroke(kRed, 3);
    dashed.setDashPattern({2, 3});
    p.setPen(dashed);
    p.drawLine(QPointF(a.right() + 14, cy - 5), QPointF(b.left() - 14, cy - 5));
    DrawWaves(p, QPointF(area.center().x(), cy - 30), 34, kRed);
    p.setPen(kInk);
    p.setFont(Font(15, true));
    p.drawText(QRectF(a.center().x() - 90, a.bottom() + 22, 180, 24), Qt::AlignCenter, left);
    p.drawText(QRectF(b.center().x() - 90, b.bottom() + 22, 180, 24), Qt::AlignCenter, right);
    if (!caption.isEmpty()) {
        p.setPen(kGrey);
        p.setFont(Font(13));
        p.drawText(QRectF(area.left(), area.bottom() - 32, area.width(), 24), Qt::AlignCenter,
                   caption);
    }
}

void Scenes() {
    Save("bridge_finish", 420, 220, kWhite, [](QPainter& p, int w, int h) {
        DrawLinkScene(p, QRectF(0, 0, w, h), "Access point", "Station", "Bridge link ready");
    });
    Save("bridge_other", 640, 220, kWhite, [](QPainter& p, int w, int h) {
        DrawLinkScene(p, QRectF(0, 0, w, h), "Access point", "Station", "Point-to-point bridge");
    });
    Save("bridge_chinese", 640, 220, kWhite, [](QPainter& p, int w, int h) {
        DrawLinkScene(p, QRectF(0, 0, w, h), QString::fromUtf8("接入点"),
                      QString::fromUtf8("客户端"), QString::fromUtf8("点对点桥接"));
    });
}

struct Step {
    QString title;
    QString text;
};

void InstallHelp(const char* name, const QString& heading, const QList<Step>& steps) {
    const int w = 1000, step_h = 230, h = 120 + step_h * static_cast<int>(steps.size()) + 40;
    Save(name, w, h, kWhite, [&](QPainter& p, int, int) {
        p.fillRect(0, 0, w, 90, kNavy);
        DrawMark(p, QPointF(52, 45), 50, kWhite);
        p.setPen(kWhite);
        p.setFont(Font(26, true));
        p.drawText(QRectF(96, 0, w - 120, 90), Qt::AlignLeft | Qt::AlignVCenter, heading);
        for (int i = 0; i < steps.size(); ++i) {
            const qreal top = 120 + i * step_h;
            p.setPen(Qt::NoPen);
            p.setBrush(kPanel);
            p.drawRoundedRect(QRectF(40, top, w - 80, step_h - 30), 12, 12);
            p.setBrush(kRed);
            p.drawEllipse(QRectF(64, top + 24, 44, 44));
            p.setPen(kWhite);
            p.setFont(Font(22, true));
            p.drawText(QRectF(64, top + 24, 44, 44), Qt::AlignCenter, QString::number(i + 1));
            p.setPen(kInk);
            p.drawText(QRectF(130, top + 24, w - 420, 44), Qt::AlignLeft | Qt::AlignVCenter,
                       steps[i].title);
            p.setPen(kGrey);
            p.setFont(Font(16));
            p.drawText(QRectF(130, top + 78, w - 440, step_h - 120), Qt::TextWordWrap,
                       steps[i].text);
            const QRectF art(w - 280, top + 30, 200, step_h - 90);
            switch (i) {
                case 0:
                    DrawRadio(p, QRectF(art.center().x() - 40, art.top() + 10, 80, 66), kNavy,
                              kGreen);
                    break;
                case 1:
                    DrawMark(p, art.center(), 110, kNavy);
                    break;
                case 2:
                    DrawMagnifier(p, art.center(), 100, kRed);
                    break;
                default:
                    DrawLinkScene(p, art.adjusted(-20, -10, 20, 20), "", "", "");
                    break;
            }
        }
    });
}

void InstallHelpPictures() {
    InstallHelp("help_other", "Installing your radios",
                {{"Connect the radio",
                  "Plug the radio into the PoE injector and the injector into the PC's network. "
                  "Wait until the power LED is steady."},
                 {"Mount and aim",
                  "Mount the radio on the mast with a clear line of sight to the other end. Aim "
                  "for the best signal bars."},
                 {"Search from the PC",
                  "Open Device status and press Search. Every radio on the PC's networks appears "
                  "within seconds."},
                 {"Configure and bridge",
                  "Give each radio its address and name, then pair a station with its access point "
                  "on the Device bridge page."}});
    InstallHelp(
        "help_chinese", QString::fromUtf8("安装您的无线设备"),
        {{QString::fromUtf8("连接设备"),
          QString::fromUtf8(
              "将设备接入 PoE 供电器，再将供电器接入电脑所在网络。等待电源指示灯常亮。")},
         {QString::fromUtf8("安装与对准"),
          QString::fromUtf8(
              "把设备固定在立杆上，确保与对端之间视线无遮挡，调整方向使信号格最多。")},
         {QString::fromUtf8("在电脑上搜索"),
          QString::fromUtf8("打开“设备状态”并点击“搜索”，电脑所在网络中的设备将在数秒内出现。")},
         {QString::fromUtf8("配置与桥接"),
          QString::fromUtf8(
              "为每台设备设置地址和名称，然后在“设备桥接”页面将客户端与接入点配对。")}});
}

void ApplicationIcon() {
    for (int size : {16, 32, 48, 256}) {
        Save(QString("icon/app%1").arg(size, 3, 10, QChar('0')), size, size, Qt::transparent,
             [&](QPainter& p, int w, int) {
                 p.setPen(Qt::NoPen);
                 p.setBrush(kNavy);
                 p.drawRoundedRect(QRectF(0, 0, w, w), w * 0.22, w * 0.22);
                 p.setBrush(kRed);
                 p.drawRect(QRectF(0, w * 0.86, w, w * 0.14));
                 p.setClipping(false);
                 DrawMark(p, QPointF(w / 2.0, w * 0.45), w * 0.78, kWhite);
             });
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-skin <out-dir>\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_out + "/icon");
    MainBackground();
    MenuButtons();
    TitleButtons();
    HelpMenuIcons();
    PageButtons();
    Pictures();
    WaitFrames();
    Scenes();
    InstallHelpPictures();
    ApplicationIcon();
    return 0;
}
