// Draws every picture the program ships: the program icon in several sizes, the start-up picture,
// the About banner and the toolbar/dialog buttons. All of them are vector drawings made here, so
// they can be redrawn at will and nothing comes from outside the project.
//
// Usage: make-assets [--preview DIR] [ASSETS_DIR]
//   ASSETS_DIR defaults to the repository's assets/ folder. --preview also writes enlarged contact
//   sheets into DIR so the small pictures can be examined pixel by pixel.

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

// One small palette keeps every picture in the same family.
namespace colors {
const QColor tealLight(0x2F, 0xA7, 0xB1);
const QColor teal(0x17, 0x7E, 0x8C);
const QColor deep(0x0D, 0x4B, 0x6E);
const QColor navy(0x09, 0x2C, 0x45);
const QColor ink(0x26, 0x3F, 0x4C);   // outlines of the button pictures
const QColor slate(0x4D, 0x66, 0x73); // secondary text
const QColor paper(0xFF, 0xFF, 0xFF);
const QColor paperShade(0xD9, 0xE5, 0xEA);
const QColor line(0x9F, 0xB3, 0xBC); // text lines drawn on sheets and cards
const QColor red(0xE0, 0x4F, 0x45);
const QColor green(0x34, 0xA8, 0x62);
const QColor blue(0x4B, 0x93, 0xDB);
const QColor amber(0xF4, 0xB8, 0x3E);
const QColor woodTip(0xF6, 0xDC, 0xAE);
const QColor eraser(0xEE, 0x8F, 0x92);
const QColor steel(0xB4, 0xC0, 0xC6);
} // namespace colors

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QImage newCanvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// Every picture is drawn in its 1x coordinates; a larger scale draws the same shapes with more pixels, for
// screens with two (or more) pixels to a point. At 1x the painter is left exactly as it was.
void atScale(QPainter &p, qreal scale)
{
    if (scale != 1) {
        p.scale(scale, scale);
    }
}

// Round caps and joins everywhere: the button pictures are small, sharp miters look ragged.
QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont dejaVu(qreal pixelSize, QFont::Weight weight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// ---------------------------------------------------------------------------------------------
// Program icon: a rounded shield with a keyhole.

// The shield in a square of side `size`. Its sides and top lie on multiples of size/16, so at 16,
// 32, 48... pixels the straight edges fall on whole pixels and stay crisp.
QPainterPath shieldPath(qreal size)
{
    const qreal l = 2.0 / 16, r = 14.0 / 16, t = 1.0 / 16, corner = 2.5 / 16;
    QPainterPath p;
    p.moveTo(l + corner, t);
    p.lineTo(r - corner, t);
    p.quadTo(r, t, r, t + corner);
    p.lineTo(r, 0.48);
    p.cubicTo(r, 0.73, 0.71, 0.87, 0.5, 15.6 / 16);
    p.cubicTo(0.29, 0.87, l, 0.73, l, 0.48);
    p.lineTo(l, t + corner);
    p.quadTo(l, t, l + corner, t);
    p.closeSubpath();
    return QTransform::fromScale(size, size).map(p);
}

// The keyhole: a round head over a tapering slot, slightly above the shield's centre of mass.
// Head and slot stay separate subpaths filled with the winding rule: QPainterPath::united()
// would flatten the head into a visible polygon.
QPainterPath keyholePath(qreal size)
{
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    p.addEllipse(QPointF(0.5, 0.40), 0.118, 0.118);
    p.moveTo(0.462, 0.44);
    p.lineTo(0.538, 0.44);
    p.lineTo(0.574, 0.70);
    p.quadTo(0.578, 0.73, 0.548, 0.73);
    p.lineTo(0.452, 0.73);
    p.quadTo(0.422, 0.73, 0.426, 0.70);
    p.closeSubpath();
    return QTransform::fromScale(size, size).map(p);
}

// At 16 px a tapering slot turns to mush; a 6 px round head over a 2 px straight slot, both on
// the pixel grid, reads as a keyhole. Coordinates are for a 16 px square and scale with size.
QPainterPath smallKeyholePath(qreal size)
{
    const qreal u = size / 16;
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    p.addEllipse(QRectF(5 * u, 3 * u, 6 * u, 6 * u));
    p.addRect(QRectF(7 * u, 8 * u, 2 * u, 4 * u));
    return p;
}

// Draws the icon with its top-left corner at `origin`. The level of detail follows the size:
// tiny renderings only keep the silhouette and the keyhole, large ones get a rim, a lit half and
// a soft shadow under the keyhole.
void paintAppIcon(QPainter &p, QPointF origin, qreal size)
{
    p.save();
    p.translate(origin);
    const QPainterPath shield = shieldPath(size);
    const bool tiny = size <= 20;
    const bool large = size >= 44;

    // Body: teal at the top sinking into deep blue, the program's two colours.
    QLinearGradient body(0, 0, 0, size);
    body.setColorAt(0.0, colors::tealLight);
    body.setColorAt(0.45, colors::teal);
    body.setColorAt(1.0, colors::deep);
    p.fillPath(shield, body);

    if (large) {
        // The left half a little lighter: the classic split of a heraldic shield, and it gives
        // the flat shape some light.
        p.save();
        p.setClipPath(shield);
        p.fillRect(QRectF(0, 0, size / 2, size), withAlpha(Qt::white, 26));
        // A light band just inside the edge reads as a raised rim.
        p.strokePath(shield, QPen(withAlpha(Qt::white, 60), size * 0.085));
        p.restore();
        // A thin line where the rim meets the face sharpens that bevel.
        const QPointF centre(size / 2, size * 0.5);
        const qreal inset = 0.865;
        QTransform toInner;
        toInner.translate(centre.x(), centre.y());
        toInner.scale(inset, inset);
        toInner.translate(-centre.x(), -centre.y());
        p.strokePath(toInner.map(shield), QPen(withAlpha(colors::navy, 70), qMax(1.0, size / 90)));
    }

    // A dark edge keeps the silhouette apart from mid-tone backgrounds.
    if (!tiny) {
        p.strokePath(shield, QPen(withAlpha(colors::navy, 200), qMax(1.0, size / 64)));
    }

    const QPainterPath keyhole = tiny ? smallKeyholePath(size) : keyholePath(size);
    if (large) {
        // The keyhole is cut into the face: a soft dark rim below it sells the depth.
        p.fillPath(keyhole.translated(0, size * 0.018), withAlpha(colors::navy, 110));
    }
    QLinearGradient keyFill(0, size * 0.28, 0, size * 0.74);
    keyFill.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    keyFill.setColorAt(1.0, tiny ? QColor(0xF2, 0xF8, 0xF9) : QColor(0xDC, 0xEE, 0xF1));
    p.fillPath(keyhole, keyFill);
    p.restore();
}

QImage drawAppIcon(int size)
{
    QImage image = newCanvas(size, size);
    QPainter p(&image);
    prepare(p);
    paintAppIcon(p, QPointF(0, 0), size);
    return image;
}

// ---------------------------------------------------------------------------------------------
// Start-up picture: light gradient, large icon on the left, name and subtitle on the right.
// The bottom strip stays empty: the program writes its version line there at run time, in dark
// text, so the background has to stay light.

QImage drawSplash(qreal scale)
{
    const int w = 476, h = 316;
    QImage image = newCanvas(qRound(w * scale), qRound(h * scale));
    QPainter p(&image);
    prepare(p);
    atScale(p, scale);

    QLinearGradient bg(0, 0, w, h);
    bg.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    bg.setColorAt(0.55, QColor(0xEE, 0xF7, 0xF8));
    bg.setColorAt(1.0, QColor(0xCF, 0xE8, 0xEC));
    p.fillRect(QRect(0, 0, w, h), bg);

    // Two large, faint rings in the top-right corner give the plain gradient some depth without
    // competing with the text.
    p.setPen(QPen(withAlpha(colors::teal, 22), 26));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(w + 20, -40), 190, 190);
    p.setPen(QPen(withAlpha(colors::teal, 14), 12));
    p.drawEllipse(QPointF(w + 20, -40), 250, 250);

    // A soft glow behind the icon lifts it off the background.
    const qreal iconSize = 144;
    const QPointF iconOrigin(36, 58);
    const QPointF iconCentre = iconOrigin + QPointF(iconSize / 2, iconSize / 2);
    QRadialGradient glow(iconCentre, iconSize * 0.75);
    glow.setColorAt(0.0, withAlpha(colors::tealLight, 60));
    glow.setColorAt(1.0, withAlpha(colors::tealLight, 0));
    p.fillRect(QRectF(iconCentre - QPointF(iconSize, iconSize), QSizeF(2 * iconSize, 2 * iconSize)), glow);
    // A faint shadow under the shield grounds it.
    p.fillPath(shieldPath(iconSize).translated(iconOrigin + QPointF(0, 4)), withAlpha(colors::navy, 40));
    paintAppIcon(p, iconOrigin, iconSize);

    // Product name, sized to fit the space right of the icon.
    const qreal textLeft = 200;
    const qreal textWidth = w - textLeft - 28;
    QFont nameFont = dejaVu(50, QFont::Bold);
    while (QFontMetricsF(nameFont).horizontalAdvance(QStringLiteral("Brisvane")) > textWidth) {
        nameFont.setPixelSize(nameFont.pixelSize() - 1);
    }
    const QFontMetricsF nameMetrics(nameFont);
    const qreal nameBaseline = 128;
    QLinearGradient nameFill(0, nameBaseline - nameMetrics.ascent(), 0, nameBaseline);
    nameFill.setColorAt(0.0, colors::teal);
    nameFill.setColorAt(1.0, colors::navy);
    QPainterPath name;
    name.addText(QPointF(textLeft, nameBaseline), nameFont, QStringLiteral("Brisvane"));
    p.fillPath(name, nameFill);

    // A short accent rule ties the name to the subtitle.
    const qreal ruleY = nameBaseline + 18;
    QLinearGradient rule(textLeft, 0, textLeft + 150, 0);
    rule.setColorAt(0.0, colors::teal);
    rule.setColorAt(1.0, withAlpha(colors::teal, 0));
    p.fillRect(QRectF(textLeft + 2, ruleY, 150, 3), rule);

    p.setFont(dejaVu(20, QFont::Normal));
    p.setPen(colors::slate);
    p.drawText(QPointF(textLeft + 2, ruleY + 32), QStringLiteral("Password keeper"));

    // A thin band along the bottom edge closes the picture; it stays below the version line.
    QLinearGradient band(0, 0, w, 0);
    band.setColorAt(0.0, colors::teal);
    band.setColorAt(1.0, colors::deep);
    p.fillRect(QRectF(0, h - 4, w, 4), band);
    return image;
}

// ---------------------------------------------------------------------------------------------
// About banner: a horizontal strip, near white on the left where the program draws its name in
// black bold type (x 8..385, y 20..49), deepening to teal on the right under the icon.

QImage drawBanner(qreal scale)
{
    const int w = 497, h = 68;
    QImage image = newCanvas(qRound(w * scale), qRound(h * scale));
    QPainter p(&image);
    prepare(p);
    atScale(p, scale);

    QLinearGradient bg(0, 0, w, 0);
    bg.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    bg.setColorAt(0.55, QColor(0xEC, 0xF6, 0xF7));
    bg.setColorAt(0.78, QColor(0xB8, 0xDE, 0xE2));
    bg.setColorAt(1.0, colors::tealLight);
    p.fillRect(QRect(0, 0, w, h), bg);

    // Faint diagonal light sweeps on the coloured end, echoing the splash rings.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        const qreal x = 400 + i * 26;
        QPainterPath sweep;
        sweep.moveTo(x, h);
        sweep.lineTo(x + 14, h);
        sweep.lineTo(x + 44, 0);
        sweep.lineTo(x + 30, 0);
        sweep.closeSubpath();
        p.fillPath(sweep, withAlpha(Qt::white, 34));
    }

    // The icon at the right end on a soft white halo so the teal shield stands out from the
    // teal background.
    const qreal iconSize = 56;
    const QPointF iconOrigin(w - iconSize - 10, (h - iconSize) / 2);
    const QPointF centre = iconOrigin + QPointF(iconSize / 2, iconSize / 2);
    QRadialGradient halo(centre, iconSize * 0.62);
    halo.setColorAt(0.0, withAlpha(Qt::white, 150));
    halo.setColorAt(1.0, withAlpha(Qt::white, 0));
    p.fillRect(QRectF(centre - QPointF(iconSize, iconSize), QSizeF(2 * iconSize, 2 * iconSize)), halo);
    paintAppIcon(p, iconOrigin, iconSize);

    // A hairline in the program colour along the bottom separates the banner from the dialog.
    QLinearGradient rule(0, 0, w, 0);
    rule.setColorAt(0.0, withAlpha(colors::teal, 90));
    rule.setColorAt(1.0, colors::deep);
    p.fillRect(QRectF(0, h - 2, w, 2), rule);
    return image;
}

// ---------------------------------------------------------------------------------------------
// Button pictures, 32 x 32, one flat style: coloured shapes with a 2 px ink outline, round joins,
// no gradients. The shared outline keeps them readable on light and dark window themes alike.

constexpr qreal outlineWidth = 2.0;

struct ButtonCanvas {
    QImage image;
    QPainter p;
    explicit ButtonCanvas(qreal scale) : image(newCanvas(qRound(32 * scale), qRound(32 * scale))), p(&image)
    {
        prepare(p);
        atScale(p, scale);
    }
    void shape(const QPainterPath &path, const QColor &fill)
    {
        p.fillPath(path, fill);
        p.strokePath(path, roundPen(colors::ink, outlineWidth));
    }
    QImage finish()
    {
        p.end();
        return image;
    }
};

QPainterPath roundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// Plus sign on a card: a record card with text lines and a green plus badge on its corner.
QImage drawAddButton(qreal scale)
{
    ButtonCanvas c(scale);
    c.shape(roundedRect(QRectF(3, 4, 21, 24), 3), colors::paper);
    c.p.setPen(roundPen(colors::line, 2));
    c.p.drawLine(QPointF(8, 10), QPointF(19, 10));
    c.p.drawLine(QPointF(8, 15), QPointF(16, 15));
    c.p.drawLine(QPointF(8, 20), QPointF(13, 20));
    c.shape(circle(QPointF(23, 23), 7.5), colors::green);
    c.p.setPen(roundPen(Qt::white, 2.6));
    c.p.drawLine(QPointF(23, 19), QPointF(23, 27));
    c.p.drawLine(QPointF(19, 23), QPointF(27, 23));
    return c.finish();
}

// A red bin: lid with handle over a tapering body with ribs.
QImage drawDeleteButton(qreal scale)
{
    ButtonCanvas c(scale);
    c.shape(roundedRect(QRectF(12, 3, 8, 5), 1.5), colors::red);
    QPainterPath body;
    body.moveTo(7, 10);
    body.lineTo(25, 10);
    body.lineTo(23.2, 27);
    body.quadTo(23, 29, 21, 29);
    body.lineTo(11, 29);
    body.quadTo(9, 29, 8.8, 27);
    body.closeSubpath();
    c.shape(body, colors::red);
    c.p.setPen(roundPen(withAlpha(Qt::white, 210), 2));
    c.p.drawLine(QPointF(12.5, 14), QPointF(13, 25));
    c.p.drawLine(QPointF(16, 14), QPointF(16, 25));
    c.p.drawLine(QPointF(19.5, 14), QPointF(19, 25));
    c.shape(roundedRect(QRectF(4, 7, 24, 4), 1.5), colors::red);
    return c.finish();
}

// A pencil lying diagonally, tip towards the bottom left, the usual sign for "edit".
QImage drawEditButton(qreal scale)
{
    ButtonCanvas c(scale);
    // Drawn along the x axis around the origin, then turned 45 degrees into place.
    c.p.translate(16, 16);
    c.p.rotate(-45);
    const qreal half = 4.5;
    const QRectF ferrule(6, -half, 3.5, 2 * half);
    const QRectF bodyRect(-8, -half, 14, 2 * half);
    QPainterPath eraserPath;
    eraserPath.moveTo(9, -half);
    eraserPath.lineTo(13, -half);
    eraserPath.quadTo(16, -half, 16, 0);
    eraserPath.quadTo(16, half, 13, half);
    eraserPath.lineTo(9, half);
    eraserPath.closeSubpath();
    c.shape(eraserPath, colors::eraser);
    QPainterPath bodyPath;
    bodyPath.addRect(bodyRect);
    c.shape(bodyPath, colors::amber);
    // A darker facet line along the body suggests the pencil's hexagonal section.
    c.p.setPen(roundPen(withAlpha(QColor(0xB7, 0x7C, 0x12), 200), 1.5));
    c.p.drawLine(QPointF(-7, 0), QPointF(5, 0));
    QPainterPath ferrulePath;
    ferrulePath.addRect(ferrule);
    c.shape(ferrulePath, colors::steel);
    QPainterPath wood;
    wood.moveTo(-8, -half);
    wood.lineTo(-15.5, 0);
    wood.lineTo(-8, half);
    wood.closeSubpath();
    c.shape(wood, colors::woodTip);
    QPainterPath lead;
    lead.moveTo(-12.5, -1.8);
    lead.lineTo(-15.5, 0);
    lead.lineTo(-12.5, 1.8);
    lead.closeSubpath();
    c.shape(lead, colors::ink);
    return c.finish();
}

// An arrow leaving an open box towards the top right: "go to" the entry's address.
QImage drawGotoButton(qreal scale)
{
    ButtonCanvas c(scale);
    // The box, open at the top-right corner where the arrow leaves it.
    QPainterPath boxFill = roundedRect(QRectF(4, 9, 19, 19), 3);
    c.p.fillPath(boxFill, colors::paper);
    QPainterPath boxEdge;
    boxEdge.moveTo(14, 9);
    boxEdge.lineTo(7, 9);
    boxEdge.quadTo(4, 9, 4, 12);
    boxEdge.lineTo(4, 25);
    boxEdge.quadTo(4, 28, 7, 28);
    boxEdge.lineTo(20, 28);
    boxEdge.quadTo(23, 28, 23, 25);
    boxEdge.lineTo(23, 18);
    c.p.strokePath(boxEdge, roundPen(colors::ink, outlineWidth));

    // The arrow, drawn along the x axis then turned towards the top right.
    c.p.translate(12.5, 19.5);
    c.p.rotate(-45);
    QPainterPath arrow;
    arrow.moveTo(0, -2.2);
    arrow.lineTo(12, -2.2);
    arrow.lineTo(12, -6.5);
    arrow.lineTo(19.5, 0);
    arrow.lineTo(12, 6.5);
    arrow.lineTo(12, 2.2);
    arrow.lineTo(0, 2.2);
    arrow.closeSubpath();
    c.shape(arrow, colors::teal);
    return c.finish();
}

// A globe: blue sphere with meridians and parallels.
QImage drawWebsiteButton(qreal scale)
{
    ButtonCanvas c(scale);
    const QPointF centre(16, 16);
    const qreal r = 13;
    const QPainterPath globe = circle(centre, r);
    c.p.fillPath(globe, colors::blue);
    // Grid lines in white, clipped to the sphere so they end cleanly at its edge.
    c.p.save();
    c.p.setClipPath(globe);
    c.p.setPen(roundPen(withAlpha(Qt::white, 230), 1.6));
    c.p.setBrush(Qt::NoBrush);
    c.p.drawEllipse(centre, r * 0.45, r);
    c.p.drawLine(QPointF(16, 3), QPointF(16, 29));
    c.p.drawLine(QPointF(3, 16), QPointF(29, 16));
    // Parallels curve slightly, as they would on a sphere seen from just above the equator.
    QPainterPath north;
    north.moveTo(5, 10);
    north.quadTo(16, 12.5, 27, 10);
    QPainterPath south;
    south.moveTo(5, 22);
    south.quadTo(16, 24.5, 27, 22);
    c.p.drawPath(north);
    c.p.drawPath(south);
    c.p.restore();
    c.p.strokePath(globe, roundPen(colors::ink, outlineWidth));
    return c.finish();
}

// Two overlapping sheets: the back one shaded, the front one white with text lines.
QImage drawCopyButton(qreal scale)
{
    ButtonCanvas c(scale);
    c.shape(roundedRect(QRectF(4, 3, 16, 20), 2.5), colors::paperShade);
    c.shape(roundedRect(QRectF(12, 9, 16, 20), 2.5), colors::paper);
    c.p.setPen(roundPen(colors::teal, 2));
    c.p.drawLine(QPointF(16, 15), QPointF(24, 15));
    c.p.drawLine(QPointF(16, 19), QPointF(24, 19));
    c.p.drawLine(QPointF(16, 23), QPointF(21, 23));
    return c.finish();
}

// A green disc with a white check mark: the Save button.
QImage drawSaveButton(qreal scale)
{
    ButtonCanvas c(scale);
    c.shape(circle(QPointF(16, 16), 13), colors::green);
    QPainterPath check;
    check.moveTo(9.5, 16.5);
    check.lineTo(14, 21);
    check.lineTo(22.5, 11.5);
    c.p.strokePath(check, roundPen(Qt::white, 3.4));
    return c.finish();
}

// A red disc with a white cross: the Cancel button.
QImage drawCancelButton(qreal scale)
{
    ButtonCanvas c(scale);
    c.shape(circle(QPointF(16, 16), 13), colors::red);
    c.p.setPen(roundPen(Qt::white, 3.4));
    c.p.drawLine(QPointF(11, 11), QPointF(21, 21));
    c.p.drawLine(QPointF(21, 11), QPointF(11, 21));
    return c.finish();
}

// ---------------------------------------------------------------------------------------------
// Output

struct Asset {
    QString path; // relative to the assets folder
    std::function<QImage()> draw;
};

std::vector<Asset> allAssets()
{
    std::vector<Asset> assets;
    // 256 serves the largest size on a screen of two pixels to a point.
    for (int size : {16, 32, 48, 64, 128, 256}) {
        assets.push_back({QStringLiteral("icons/AAA-%1.png").arg(size), [size] { return drawAppIcon(size); }});
    }
    const std::vector<std::pair<QString, std::function<QImage(qreal)>>> scalable{
        {QStringLiteral("splash"), drawSplash},
        {QStringLiteral("banner"), drawBanner},
        {QStringLiteral("buttons/add"), drawAddButton},
        {QStringLiteral("buttons/delete"), drawDeleteButton},
        {QStringLiteral("buttons/edit"), drawEditButton},
        {QStringLiteral("buttons/goto"), drawGotoButton},
        {QStringLiteral("buttons/website"), drawWebsiteButton},
        {QStringLiteral("buttons/copy"), drawCopyButton},
        {QStringLiteral("buttons/save"), drawSaveButton},
        {QStringLiteral("buttons/cancel"), drawCancelButton},
    };
    // "name@2x.png" beside "name.png": Qt picks it where a point has two pixels or more.
    for (const auto &[name, draw] : scalable) {
        assets.push_back({name + QStringLiteral(".png"), [draw] { return draw(1); }});
        assets.push_back({name + QStringLiteral("@2x.png"), [draw] { return draw(2); }});
    }
    return assets;
}

bool writeImage(const QImage &image, const QString &file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    // Straight (non-premultiplied) alpha is what PNG stores; converting first avoids rounding
    // surprises in half-transparent edge pixels.
    if (!image.convertToFormat(QImage::Format_ARGB32).save(file, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(QDir::cleanPath(file)), image.width(), image.height());
    return true;
}

// Contact sheet for close viewing: each picture enlarged without smoothing, once on a light and
// once on a dark backdrop, so edge pixels and transparency are visible.
QImage contactSheet(const std::vector<QImage> &images, int scale)
{
    int cellW = 0, cellH = 0;
    for (const QImage &img : images) {
        cellW = qMax(cellW, img.width() * scale);
        cellH = qMax(cellH, img.height() * scale);
    }
    const int gap = 8;
    QImage sheet(int(images.size()) * (cellW + gap) + gap, 2 * (cellH + gap) + gap, QImage::Format_ARGB32);
    sheet.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&sheet);
    const QColor backdrops[] = {QColor(0xF3, 0xF3, 0xF3), QColor(0x2B, 0x2B, 0x2B)};
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < int(images.size()); ++i) {
            const QRect cell(gap + i * (cellW + gap), gap + row * (cellH + gap), cellW, cellH);
            p.fillRect(cell, backdrops[row]);
            const QImage big = images[size_t(i)].scaled(images[size_t(i)].size() * scale, Qt::IgnoreAspectRatio,
                                                        Qt::FastTransformation);
            p.drawImage(cell.topLeft(), big);
        }
    }
    return sheet;
}

bool writePreviews(const QString &dir)
{
    bool ok = true;
    std::vector<QImage> icons;
    for (int size : {16, 32, 48, 64, 128}) {
        icons.push_back(drawAppIcon(size));
    }
    ok &= writeImage(contactSheet({icons[0]}, 16), dir + QStringLiteral("/icon-16-x16.png"));
    ok &= writeImage(contactSheet({icons[1], icons[2]}, 6), dir + QStringLiteral("/icon-32-48-x6.png"));
    ok &= writeImage(contactSheet({icons[3], icons[4]}, 2), dir + QStringLiteral("/icon-64-128-x2.png"));
    ok &= writeImage(contactSheet(icons, 1), dir + QStringLiteral("/icons-x1.png"));
    for (const qreal scale : {1, 2}) {
        const std::vector<QImage> buttons = {drawAddButton(scale),  drawDeleteButton(scale),  drawEditButton(scale),
                                             drawGotoButton(scale), drawWebsiteButton(scale), drawCopyButton(scale),
                                             drawSaveButton(scale), drawCancelButton(scale)};
        const QString at = scale == 1 ? QString() : QStringLiteral("@2x");
        ok &= writeImage(contactSheet(buttons, 6 / int(scale)), dir + QStringLiteral("/buttons%1-x6.png").arg(at));
        ok &= writeImage(contactSheet(buttons, 1), dir + QStringLiteral("/buttons%1-x1.png").arg(at));
    }
    ok &= writeImage(contactSheet({drawBanner(1)}, 2), dir + QStringLiteral("/banner-x2.png"));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing needs no screen; the offscreen platform lets the tool run headless.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString assetsDir = QStringLiteral(BRISVANE_ASSETS_DIR);
    QString previewDir;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--preview") && i + 1 < args.size()) {
            previewDir = args[++i];
        } else if (args[i].startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "usage: make-assets [--preview DIR] [ASSETS_DIR]\n");
            return 2;
        } else {
            assetsDir = args[i];
        }
    }

    bool ok = true;
    for (const Asset &asset : allAssets()) {
        ok &= writeImage(asset.draw(), QDir(assetsDir).filePath(asset.path));
    }
    if (!previewDir.isEmpty()) {
        ok &= writePreviews(previewDir);
    }
    return ok ? 0 : 1;
}
