// SPDX-License-Identifier: Apache-2.0
// Draws the about window's picture (200 x 108): one alveolus over a pulmonary
// capillary, with oxygen passing into the blood and carbon dioxide out of it.
// Run once by hand; its output assets/about.jpg is committed and embedded in
// the program. Built with the project:
//   QT_QPA_PLATFORM=offscreen build/bin/about_picture_generator assets/about.jpg
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int picture_width = 200;
constexpr int picture_height = 108;

// An arrow from (x1, y1) to (x2, y2) with a filled head.
void draw_arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    QPolygonF head;
    head << to + d * 3 << to - d * 6 + n * 4.5 << to - d * 6 - n * 4.5;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void draw_picture(QImage& image)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(image.rect(), Qt::white);

    // The capillary along the bottom, dark (venous) on the left turning bright
    // (arterial) on the right.
    QLinearGradient blood(0, 0, picture_width, 0);
    blood.setColorAt(0.0, QColor(110, 40, 90));
    blood.setColorAt(0.45, QColor(150, 40, 70));
    blood.setColorAt(1.0, QColor(220, 40, 40));
    QPainterPath vessel;
    vessel.addRoundedRect(QRectF(4, 80, 192, 22), 11, 11);
    p.setPen(QPen(QColor(120, 30, 40), 1.2));
    p.setBrush(blood);
    p.drawPath(vessel);
    // A few red cells in the stream.
    p.setPen(QPen(QColor(255, 200, 200, 150), 1));
    p.setBrush(QColor(255, 255, 255, 40));
    for (int x = 22; x < 190; x += 30) p.drawEllipse(QRectF(x, 85, 14, 12));

    // The alveolus above it, a pale sac of air with its wall.
    QRadialGradient air(100, 38, 70);
    air.setColorAt(0, QColor(236, 246, 255));
    air.setColorAt(1, QColor(184, 214, 240));
    p.setBrush(air);
    p.setPen(QPen(QColor(70, 110, 160), 2));
    p.drawEllipse(QRectF(40, 4, 120, 72));

    // Gas exchange across the wall: oxygen in, carbon dioxide out.
    draw_arrow(p, QPointF(82, 40), QPointF(82, 88), QColor(20, 90, 200));
    draw_arrow(p, QPointF(120, 88), QPointF(120, 40), QColor(40, 140, 60));
    QFont label("DejaVu Sans");
    label.setPixelSize(13);
    label.setBold(true);
    p.setFont(label);
    p.setPen(QColor(20, 90, 200));
    p.drawText(QRectF(54, 22, 28, 16), Qt::AlignCenter, "O2");
    p.setPen(QColor(40, 140, 60));
    p.drawText(QRectF(122, 22, 34, 16), Qt::AlignCenter, "CO2");

    // A breath: the air comes and goes through the airway at the top left,
    p.setPen(QPen(QColor(90, 90, 110), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 8), QPointF(46, 26));
    // and a short tidal trace at the top right.
    p.setPen(QPen(QColor(0, 128, 0), 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath trace;
    for (int x = 0; x <= 34; ++x) {
        const double y = 14 - 6 * std::sin(x * 2 * M_PI / 17.0);
        if (x == 0)
            trace.moveTo(163 + x, y);
        else
            trace.lineTo(163 + x, y);
    }
    p.drawPath(trace);
    p.end();
}

bool write_jpeg(const QImage& image, const char* path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < rgb.height(); ++y) {
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(y));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);

    FILE* out = std::fopen(path, "wb");
    bool ok = out && std::fwrite(buffer, 1, size, out) == size;
    if (out) ok = std::fclose(out) == 0 && ok;
    std::free(buffer);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: about_picture_generator OUTPUT.jpg\n");
        return 2;
    }
    QImage image(picture_width, picture_height, QImage::Format_RGB32);
    draw_picture(image);
    if (!write_jpeg(image, argv[1])) {
        std::fprintf(stderr, "about_picture_generator: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
