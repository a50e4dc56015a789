// Draws every picture the three programs compile in. The drawing is deterministic (fixed seeds,
// fixed font), so running it twice gives the same files.
//
//   vx_artwork <output folder>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace
{

// The window palette the pictures sit in.
const QColor kWindow(40, 40, 40);
const QColor kAccent(0x16, 0x7e, 0xf1);
const QColor kSky(0x73, 0xb6, 0xff);
const QColor kMint(0x03, 0xe0, 0xaf);
const QColor kGlyph(0xcc, 0xcc, 0xcc);
const QColor kViolet(0x9b, 0x8c, 0xff);

QColor alpha(QColor c, int a)
{
    c.setAlpha(a);
    return c;
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
        a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void begin(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// ---- scene pieces ---------------------------------------------------------------------------

// Window colour with a soft coloured glow; the edges stay the window colour so the picture
// melts into the window around it.
void backdrop(QPainter &p, const QRectF &r, const QPointF &glowAt, const QColor &glow, qreal radius)
{
    p.fillRect(r, kWindow);
    QRadialGradient g(glowAt, radius);
    g.setColorAt(0, alpha(glow, 78));
    g.setColorAt(0.45, alpha(glow, 26));
    g.setColorAt(1, alpha(glow, 0));
    p.fillRect(r, g);
}

void fadeEdges(QPainter &p, const QRectF &r, qreal band)
{
    auto edge = [&](QPointF from, QPointF to, QRectF area) {
        QLinearGradient g(from, to);
        g.setColorAt(0, kWindow);
        g.setColorAt(1, alpha(kWindow, 0));
        p.fillRect(area, g);
    };
    edge(r.topLeft(), r.topLeft() + QPointF(band, 0), QRectF(r.left(), r.top(), band, r.height()));
    edge(r.topRight(), r.topRight() - QPointF(band, 0), QRectF(r.right() - band, r.top(), band, r.height()));
    edge(r.topLeft(), r.topLeft() + QPointF(0, band), QRectF(r.left(), r.top(), r.width(), band));
    edge(r.bottomLeft(), r.bottomLeft() - QPointF(0, band),
        QRectF(r.left(), r.bottom() - band, r.width(), band));
}

// A floor of render-farm tiles running to a vanishing point.
void grid(QPainter &p, const QRectF &r, qreal horizon, qreal vanishX, const QColor &c, int strength)
{
    p.save();
    p.setClipRect(QRectF(r.left(), horizon + 1, r.width(), r.bottom() - horizon));
    QLinearGradient fade(0, horizon, 0, r.bottom());
    fade.setColorAt(0, alpha(c, 0));
    fade.setColorAt(0.35, alpha(c, strength / 3));
    fade.setColorAt(1, alpha(c, strength));
    p.setPen(QPen(QBrush(fade), 1));
    const qreal depth = r.bottom() - horizon;
    for (int i = -16; i <= 16; ++i) {
        const QPointF bottom(vanishX + i * 34.0, r.bottom() + 2);
        p.drawLine(QPointF(vanishX + i * 1.2, horizon), bottom);
    }
    for (int k = 1; k <= 7; ++k) {
        const qreal t = k / 7.0;
        const qreal y = horizon + depth * t * t;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    p.restore();
    // The horizon line glows a little.
    QLinearGradient line(r.left(), 0, r.right(), 0);
    line.setColorAt(0, alpha(c, 0));
    line.setColorAt(0.5, alpha(c, strength + 30));
    line.setColorAt(1, alpha(c, 0));
    p.setPen(QPen(QBrush(line), 1));
    p.drawLine(QPointF(r.left(), horizon + 0.5), QPointF(r.right(), horizon + 0.5));
}

void rays(QPainter &p, const QPointF &src, qreal length, qreal fromDeg, qreal toDeg, int count,
    const QColor &c, int strength, quint32 seed)
{
    QRandomGenerator rng(seed);
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const qreal t = count == 1 ? 0.5 : qreal(i) / (count - 1);
        const qreal angle = fromDeg + (toDeg - fromDeg) * t + (rng.generateDouble() - 0.5) * 4;
        const qreal span = 1.5 + rng.generateDouble() * 4.5;
        const qreal len = length * (0.65 + rng.generateDouble() * 0.35);
        QPainterPath wedge(src);
        wedge.arcTo(QRectF(src.x() - len, src.y() - len, 2 * len, 2 * len), angle - span / 2, span);
        wedge.closeSubpath();
        QRadialGradient g(src, len);
        const int a = int(strength * (0.5 + rng.generateDouble() * 0.5));
        g.setColorAt(0, alpha(c, a));
        g.setColorAt(0.6, alpha(c, a / 4));
        g.setColorAt(1, alpha(c, 0));
        p.setBrush(g);
        p.drawPath(wedge);
    }
    p.restore();
}

void glow(QPainter &p, const QPointF &at, qreal radius, const QColor &c, int strength)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    QRadialGradient g(at, radius);
    g.setColorAt(0, alpha(c, strength));
    g.setColorAt(0.4, alpha(c, strength / 3));
    g.setColorAt(1, alpha(c, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(at, radius, radius);
    p.restore();
}

void particles(QPainter &p, const QRectF &area, int count, quint32 seed, int maxAlpha = 170)
{
    QRandomGenerator rng(seed);
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF at(area.left() + rng.generateDouble() * area.width(),
            area.top() + rng.generateDouble() * area.height());
        const qreal r = 0.45 + rng.generateDouble() * rng.generateDouble() * 1.1;
        const int a = 40 + int(rng.generateDouble() * (maxAlpha - 40));
        p.setBrush(alpha(mix(kSky, kMint, rng.generateDouble()), a));
        p.drawEllipse(at, r, r);
    }
    p.restore();
}

// A four-pointed spark.
void spark(QPainter &p, const QPointF &at, qreal size, const QColor &c)
{
    QPainterPath s;
    const qreal w = size * 0.18;
    s.moveTo(at.x(), at.y() - size);
    s.quadTo(at.x() + w, at.y() - w, at.x() + size, at.y());
    s.quadTo(at.x() + w, at.y() + w, at.x(), at.y() + size);
    s.quadTo(at.x() - w, at.y() + w, at.x() - size, at.y());
    s.quadTo(at.x() - w, at.y() - w, at.x(), at.y() - size);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(s);
    p.restore();
}

struct CubeLook {
    QColor top1, top2; // top face, far corner to near corner
    QColor left1, left2; // left face, top to bottom
    QColor right1, right2; // right face, top to bottom
    QColor edge;
};

const CubeLook kBrandCube { QColor(0xc4, 0xe2, 0xff), kSky, QColor(0x3d, 0x93, 0xf5),
    QColor(0x0b, 0x4a, 0x9c), QColor(0x2d, 0xe6, 0xbf), QColor(0x01, 0x7a, 0x62),
    QColor(255, 255, 255, 150) };
const CubeLook kNeutralCube { QColor(0xe6, 0xea, 0xef), QColor(0xa9, 0xb3, 0xbf), QColor(0x8a, 0x96, 0xa6),
    QColor(0x45, 0x4d, 0x58), QColor(0x6b, 0x76, 0x84), QColor(0x33, 0x39, 0x42),
    QColor(255, 255, 255, 110) };

// Isometric cube standing on its near vertical edge; `c` is the near top corner, `s` the edge.
void cube(QPainter &p, const QPointF &c, qreal s, const CubeLook &look, qreal opacity = 1.0)
{
    const qreal dx = s * 0.866, dy = s * 0.5;
    const QPointF top(c.x(), c.y() - s), left(c.x() - dx, c.y() - dy), right(c.x() + dx, c.y() - dy);
    const QPointF bottom(c.x(), c.y() + s), bl(c.x() - dx, c.y() + dy), br(c.x() + dx, c.y() + dy);
    p.save();
    p.setOpacity(opacity);
    p.setPen(Qt::NoPen);

    QLinearGradient gt(top, c);
    gt.setColorAt(0, look.top1);
    gt.setColorAt(1, look.top2);
    p.setBrush(gt);
    p.drawPolygon(QPolygonF({ top, right, c, left }));

    QLinearGradient gl(left, bottom);
    gl.setColorAt(0, look.left1);
    gl.setColorAt(1, look.left2);
    p.setBrush(gl);
    p.drawPolygon(QPolygonF({ left, c, bottom, bl }));

    QLinearGradient gr(c, br);
    gr.setColorAt(0, look.right1);
    gr.setColorAt(1, look.right2);
    p.setBrush(gr);
    p.drawPolygon(QPolygonF({ c, right, br, bottom }));

    const qreal pw = qBound(0.6, s / 30.0, 1.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.edge, pw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({ left, c, right }));
    p.drawLine(c, bottom);
    p.setPen(QPen(alpha(look.edge, look.edge.alpha() / 2), pw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(QPolygonF({ top, right, br, bottom, bl, left }));
    p.restore();
}

// Orbit of a render job around the cube.
void orbit(QPainter &p, const QPointF &centre, qreal rx, qreal ry, qreal tiltDeg, const QColor &c, bool front)
{
    p.save();
    p.translate(centre);
    p.rotate(tiltDeg);
    QLinearGradient g(-rx, 0, rx, 0);
    g.setColorAt(0, alpha(c, 10));
    g.setColorAt(0.5, alpha(c, front ? 200 : 70));
    g.setColorAt(1, alpha(c, 10));
    p.setPen(QPen(QBrush(g), front ? 1.3 : 0.9));
    p.setBrush(Qt::NoBrush);
    const QRectF box(-rx, -ry, 2 * rx, 2 * ry);
    // Qt angles: 0 at three o'clock, counter-clockwise, in 1/16 degree.
    if (front)
        p.drawArc(box, 180 * 16, 180 * 16);
    else
        p.drawArc(box, 0, 180 * 16);
    p.restore();
}

QPainterPath cloudPath(const QPointF &base, qreal scale)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    struct Puff {
        qreal x, y, r;
    };
    const Puff puffs[] = { { -34, -6, 15 }, { -14, -18, 21 }, { 12, -22, 25 }, { 36, -10, 17 },
        { 50, -2, 10 }, { -48, 0, 9 } };
    for (const Puff &puff : puffs)
        path.addEllipse(
            QPointF(base.x() + puff.x * scale, base.y() + puff.y * scale), puff.r * scale, puff.r * scale);
    path.addRoundedRect(
        QRectF(base.x() - 52 * scale, base.y() - 10 * scale, 108 * scale, 18 * scale), 9 * scale, 9 * scale);
    return path.simplified();
}

void cloud(QPainter &p, const QPointF &base, qreal scale, const QColor &hi, const QColor &lo, int opacity)
{
    const QPainterPath path = cloudPath(base, scale);
    const QRectF b = path.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0, alpha(hi, opacity));
    g.setColorAt(1, alpha(lo, opacity * 3 / 4));
    p.save();
    p.setPen(QPen(alpha(QColor(255, 255, 255), opacity / 3), 0.8));
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

void gradientText(QPainter &p, const QString &text, const QPointF &baseline, int pixelSize, int weight,
    qreal spacing, const QColor &from, const QColor &to)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    f.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath path;
    path.addText(baseline, f, text);
    const QRectF b = path.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomRight());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

void plainText(
    QPainter &p, const QString &text, const QPointF &baseline, int pixelSize, qreal spacing, const QColor &c)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    p.save();
    p.setFont(f);
    p.setPen(c);
    p.drawText(baseline, text);
    p.restore();
}

// ---- the pictures ---------------------------------------------------------------------------

QImage logo()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    begin(p);
    QLinearGradient g(0, 0, 16, 16);
    g.setColorAt(0, kAccent);
    g.setColorAt(1, kMint);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);
    // The "V": a chevron with a small render spark on the left arm.
    p.setPen(QPen(Qt::white, 2.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({ QPointF(4.2, 4.6), QPointF(8.0, 11.6), QPointF(11.8, 4.6) }));
    return img;
}

QImage minGlyph()
{
    QImage img = canvas(10, 10);
    QPainter p(&img);
    p.fillRect(QRect(0, 5, 10, 1), kGlyph);
    return img;
}

QImage closeGlyph()
{
    QImage img = canvas(10, 10);
    QPainter p(&img);
    begin(p);
    p.setPen(QPen(kGlyph, 1.25, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(0.5, 0.5), QPointF(9.5, 9.5));
    p.drawLine(QPointF(9.5, 0.5), QPointF(0.5, 9.5));
    return img;
}

QImage chevron(bool down)
{
    QImage img = canvas(10, 6);
    QPainter p(&img);
    begin(p);
    p.setPen(QPen(kGlyph, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (down)
        p.drawPolyline(QPolygonF({ QPointF(1, 1.2), QPointF(5, 4.9), QPointF(9, 1.2) }));
    else
        p.drawPolyline(QPolygonF({ QPointF(1, 4.8), QPointF(5, 1.1), QPointF(9, 4.8) }));
    return img;
}

// The brand scene: a cube lit from behind above a render-farm floor.
void brandScene(QPainter &p, const QRectF &r, const QPointF &cubeAt, qreal size, quint32 seed)
{
    backdrop(p, r, cubeAt, kAccent, r.width() * 0.55);
    grid(p, r, r.height() * 0.70, cubeAt.x(), kSky, 70);
    rays(p, QPointF(cubeAt.x(), cubeAt.y() - size * 0.3), r.width() * 0.42, 15, 165, 13, kSky, 46, seed);
    glow(p, QPointF(cubeAt.x(), cubeAt.y()), size * 2.2, kSky, 70);
    orbit(p, QPointF(cubeAt.x(), cubeAt.y() + size * 0.15), size * 1.7, size * 0.5, -12, kMint, false);
    // Shadow on the floor.
    QRadialGradient shadow(QPointF(cubeAt.x(), r.height() * 0.78), size * 1.3);
    shadow.setColorAt(0, QColor(0, 0, 0, 110));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.save();
    p.translate(0, r.height() * 0.78);
    p.scale(1, 0.28);
    p.translate(0, -r.height() * 0.78);
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(cubeAt.x(), r.height() * 0.78), size * 1.3, size * 1.3);
    p.restore();
    cube(p, cubeAt, size, kBrandCube);
    orbit(p, QPointF(cubeAt.x(), cubeAt.y() + size * 0.15), size * 1.7, size * 0.5, -12, kMint, true);
    spark(p, QPointF(cubeAt.x() + size * 1.45, cubeAt.y() - size * 0.55), 4.5, alpha(Qt::white, 230));
    spark(p, QPointF(cubeAt.x() - size * 1.25, cubeAt.y() - size * 1.05), 3, alpha(kSky, 220));
}

void brandTitle(QPainter &p, qreal x, qreal baseline, const QString &name, const QString &tagline)
{
    gradientText(p, name, QPointF(x, baseline), 30, QFont::DemiBold, 0.5, QColor(255, 255, 255), kSky);
    QLinearGradient bar(x, 0, x + 48, 0);
    bar.setColorAt(0, kSky);
    bar.setColorAt(1, kMint);
    p.fillRect(QRectF(x + 1, baseline + 8, 48, 2), bar);
    plainText(p, tagline, QPointF(x + 1, baseline + 25), 9, 1.6, QColor(0xa8, 0xb6, 0xc6));
}

QImage background(const QSize &size, quint32 seed)
{
    QImage img = canvas(size.width(), size.height());
    QPainter p(&img);
    begin(p);
    const QRectF r(QPointF(0, 0), size);
    brandScene(p, r, QPointF(r.width() * 0.27, r.height() * 0.50), r.height() * 0.22, seed);
    particles(p, r.adjusted(8, 8, -8, -r.height() * 0.35), 34, seed + 1);
    brandTitle(
        p, r.width() * 0.50, r.height() * 0.50, QStringLiteral("Vantrix"), QStringLiteral("CLOUD RENDERING"));
    fadeEdges(p, r, 22);
    return img;
}

// Partner edition: the same language of shapes, no name, neutral greys.
QImage neutralBackground(const QSize &size, quint32 seed, bool scattered)
{
    QImage img = canvas(size.width(), size.height());
    QPainter p(&img);
    begin(p);
    const QRectF r(QPointF(0, 0), size);
    const QPointF centre(r.width() * 0.5, r.height() * 0.50);
    backdrop(p, r, centre, QColor(0x7d, 0x96, 0xb4), r.width() * 0.5);
    grid(p, r, r.height() * 0.70, centre.x(), QColor(0xb8, 0xc4, 0xd2), 55);
    rays(p, QPointF(centre.x(), centre.y() - 10), r.width() * 0.45, 20, 160, 11, QColor(0xc8, 0xd4, 0xe2), 30,
        seed);
    glow(p, centre, 70, QColor(0xb0, 0xc4, 0xdc), 50);
    const qreal s = r.height() * 0.2;
    if (scattered) {
        // Pieces drifting apart: the uninstaller's confirmation.
        cube(p, QPointF(centre.x() - 62, centre.y() + 8), s * 0.55, kNeutralCube, 0.55);
        cube(p, centre, s, kNeutralCube);
        cube(p, QPointF(centre.x() + 52, centre.y() - 18), s * 0.45, kNeutralCube, 0.6);
        cube(p, QPointF(centre.x() + 84, centre.y() - 34), s * 0.3, kNeutralCube, 0.35);
        cube(p, QPointF(centre.x() + 106, centre.y() - 44), s * 0.18, kNeutralCube, 0.18);
    } else {
        cube(p, QPointF(centre.x() - 64, centre.y() + 12), s * 0.5, kNeutralCube, 0.8);
        cube(p, centre, s, kNeutralCube);
        cube(p, QPointF(centre.x() + 62, centre.y() + 6), s * 0.6, kNeutralCube, 0.85);
    }
    particles(p, r.adjusted(8, 8, -8, -r.height() * 0.35), 22, seed + 1, 120);
    fadeEdges(p, r, 22);
    return img;
}

// The one channel with a picture of its own: a nimbus of clouds carrying the render cube.
QImage channelBackground(const QSize &size, quint32 seed, bool leaving)
{
    QImage img = canvas(size.width(), size.height());
    QPainter p(&img);
    begin(p);
    const QRectF r(QPointF(0, 0), size);
    const QPointF at(r.width() * 0.28, r.height() * 0.56);
    backdrop(p, r, at, kViolet, r.width() * 0.55);
    rays(p, QPointF(at.x(), at.y() - 24), r.width() * 0.42, 20, 160, 12, kViolet, 40, seed);
    glow(p, QPointF(at.x(), at.y() - 18), 56, kViolet, 70);
    cloud(p, QPointF(at.x() - 40, at.y() + 6), 0.55, QColor(0xb9, 0xb2, 0xff), QColor(0x5d, 0x57, 0xb5), 130);
    cube(p, QPointF(at.x(), at.y() - 22), r.height() * 0.17, kBrandCube, leaving ? 0.7 : 1.0);
    cloud(p, QPointF(at.x() + 6, at.y() + 22), 0.85, QColor(0xf2, 0xf0, 0xff), QColor(0x9c, 0x92, 0xf0), 235);
    if (leaving)
        cloud(p, QPointF(at.x() + 62, at.y() - 26), 0.35, QColor(0xdc, 0xd8, 0xff), QColor(0x8d, 0x84, 0xe0),
            120);
    particles(p, r.adjusted(8, 8, -8, -r.height() * 0.3), 30, seed + 1);
    const qreal x = r.width() * 0.51;
    gradientText(p, QStringLiteral("Nimbrosia"), QPointF(x, r.height() * 0.52), 23, QFont::DemiBold, 0.3,
        QColor(255, 255, 255), QColor(0xc9, 0xc1, 0xff));
    QLinearGradient bar(x, 0, x + 48, 0);
    bar.setColorAt(0, kViolet);
    bar.setColorAt(1, kSky);
    p.fillRect(QRectF(x + 1, r.height() * 0.52 + 8, 48, 2), bar);
    plainText(p, QStringLiteral("CLOUD RENDERING"), QPointF(x + 1, r.height() * 0.52 + 25), 9, 1.6,
        QColor(0xb4, 0xae, 0xd8));
    fadeEdges(p, r, 22);
    return img;
}

// Standard uninstaller confirmation: the cube coming apart, pieces drifting off.
QImage farewellBackground(const QSize &size, quint32 seed)
{
    QImage img = canvas(size.width(), size.height());
    QPainter p(&img);
    begin(p);
    const QRectF r(QPointF(0, 0), size);
    const QPointF at(r.width() * 0.25, r.height() * 0.52);
    const qreal s = r.height() * 0.2;
    backdrop(p, r, at, kAccent, r.width() * 0.55);
    grid(p, r, r.height() * 0.72, at.x(), kSky, 55);
    rays(p, QPointF(at.x(), at.y() - 6), r.width() * 0.4, 15, 165, 11, kSky, 36, seed);
    glow(p, at, s * 2.2, kSky, 60);
    cube(p, at, s, kBrandCube);
    const QPointF drift[]
        = { { s * 1.6, -s * 0.9 }, { s * 2.5, -s * 1.5 }, { s * 3.2, -s * 0.4 }, { s * 1.9, s * 0.5 } };
    const qreal scale[] = { 0.42, 0.28, 0.2, 0.24 };
    const qreal fade[] = { 0.8, 0.55, 0.35, 0.45 };
    for (int i = 0; i < 4; ++i)
        cube(p, at + drift[i], s * scale[i], kBrandCube, fade[i]);
    particles(p, QRectF(at.x() + s, r.top() + 10, s * 3, r.height() * 0.55), 24, seed + 1);
    brandTitle(
        p, r.width() * 0.52, r.height() * 0.50, QStringLiteral("Vantrix"), QStringLiteral("CLOUD RENDERING"));
    fadeEdges(p, r, 22);
    return img;
}

// Finish view of the uninstaller: done, with a light touch.
QImage finishPicture(const QSize &size, quint32 seed)
{
    QImage img = canvas(size.width(), size.height());
    QPainter p(&img);
    begin(p);
    const QRectF r(QPointF(0, 0), size);
    const QPointF c(r.width() / 2, r.height() / 2);
    const qreal radius = r.height() * 0.3;
    backdrop(p, r, c, kMint, r.width() * 0.45);
    rays(p, c, r.width() * 0.45, 0, 360, 28, mix(kSky, kMint, 0.5), 30, seed);
    glow(p, c, radius * 2.0, kMint, 60);
    particles(p, r.adjusted(20, 10, -20, -10), 36, seed + 1, 150);

    QRadialGradient disc(c - QPointF(radius * 0.3, radius * 0.4), radius * 1.3);
    disc.setColorAt(0, QColor(0x3a, 0x4a, 0x55));
    disc.setColorAt(1, QColor(0x22, 0x2a, 0x30));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(c, radius, radius);

    QLinearGradient ring(c.x() - radius, c.y() - radius, c.x() + radius, c.y() + radius);
    ring.setColorAt(0, kSky);
    ring.setColorAt(1, kMint);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(ring), 3.2));
    p.drawEllipse(c, radius, radius);
    p.setPen(QPen(alpha(kSky, 70), 1));
    p.drawEllipse(c, radius + 6, radius + 6);

    p.setPen(QPen(QBrush(ring), 5.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal u = radius / 40.0;
    p.drawPolyline(QPolygonF(
        { c + QPointF(-17 * u, 1 * u), c + QPointF(-5 * u, 13 * u), c + QPointF(18 * u, -12 * u) }));

    spark(p, c + QPointF(radius * 1.55, -radius * 0.75), 5, alpha(Qt::white, 235));
    spark(p, c + QPointF(-radius * 1.6, -radius * 0.35), 3.5, alpha(kSky, 220));
    spark(p, c + QPointF(-radius * 1.2, radius * 0.95), 2.5, alpha(kMint, 200));
    spark(p, c + QPointF(radius * 1.25, radius * 0.9), 3, alpha(kMint, 200));
    fadeEdges(p, r, 22);
    return img;
}

bool save(const QImage &image, const QString &dir, const QString &name, const QSize &expected)
{
    if (image.size() != expected) {
        std::fprintf(stderr, "%s: drawn at the wrong size\n", qPrintable(name));
        return false;
    }
    const QString path = dir + QLatin1Char('/') + name;
    if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG", 9)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(name), image.width(), image.height());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx_artwork <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    const QSize bg(308, 154), finish(306, 138);
    struct Item {
        const char *name;
        QSize size;
        std::function<QImage()> draw;
    };
    const Item items[] = {
        { "logo.png", { 16, 16 }, logo },
        { "min.png", { 10, 10 }, minGlyph },
        { "close.png", { 10, 10 }, closeGlyph },
        { "down.png", { 10, 6 }, [] { return chevron(true); } },
        { "up.png", { 10, 6 }, [] { return chevron(false); } },
        { "bg.png", bg, [bg] { return background(bg, 11); } },
        { "bg_third.png", bg, [bg] { return neutralBackground(bg, 23, false); } },
        { "bg_Nimbrosia.png", bg, [bg] { return channelBackground(bg, 37, false); } },
        { "bg1.png", bg, [bg] { return farewellBackground(bg, 41); } },
        { "bg1_third.png", bg, [bg] { return neutralBackground(bg, 53, true); } },
        { "bg1_Nimbrosia.png", bg, [bg] { return channelBackground(bg, 67, true); } },
        { "bg2.png", finish, [finish] { return finishPicture(finish, 71); } },
    };
    bool ok = true;
    for (const Item &item : items)
        ok = save(item.draw(), out, QString::fromLatin1(item.name), item.size) && ok;
    return ok ? 0 : 1;
}
