// SPDX-License-Identifier: Apache-2.0
// Draws the main window's logo (350 x 190) and writes it as a JPEG file.
// Run once by hand; assets/logo.jpg (embedded in the program) is committed.
// The desktop icon, the same lungs, is assets/icons/tolvane.svg. Built with
// the project:
//   QT_QPA_PLATFORM=offscreen build/bin/logo_generator assets/logo.jpg
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>

#include <jpeglib.h>

namespace {

// The two lungs with their airway, in a 160 x 190 box at the origin.
void draw_lungs(QPainter& p)
{
    // Two stylised lungs on the left: a trachea that branches into two lobes.
    const QColor lung(214, 96, 104);
    p.setPen(QPen(QColor(150, 50, 60), 2));
    QPainterPath left;
    left.moveTo(62, 46);
    left.cubicTo(30, 50, 18, 110, 24, 150);
    left.cubicTo(28, 168, 58, 166, 66, 150);
    left.cubicTo(72, 130, 70, 80, 62, 46);
    QPainterPath right;
    right.moveTo(98, 46);
    right.cubicTo(130, 50, 142, 110, 136, 150);
    right.cubicTo(132, 168, 102, 166, 94, 150);
    right.cubicTo(88, 130, 90, 80, 98, 46);
    QRadialGradient shade(80, 110, 80);
    shade.setColorAt(0, lung.lighter(130));
    shade.setColorAt(1, lung);
    p.setBrush(shade);
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(QPen(QColor(120, 120, 140), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath airway;
    airway.moveTo(80, 18);
    airway.lineTo(80, 62);
    airway.moveTo(80, 62);
    airway.quadTo(72, 70, 60, 82);
    airway.moveTo(80, 62);
    airway.quadTo(88, 70, 100, 82);
    p.drawPath(airway);
}

void draw_logo(QImage& image)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 190);
    sky.setColorAt(0, QColor(232, 244, 252));
    sky.setColorAt(1, QColor(255, 255, 255));
    p.fillRect(image.rect(), sky);
    draw_lungs(p);

    // The name and what it is.
    p.setPen(QColor(20, 60, 120));
    QFont title("DejaVu Serif");
    title.setPixelSize(42);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(150, 22, 196, 60), Qt::AlignLeft | Qt::AlignVCenter, "Tolvane");
    QFont small("DejaVu Sans");
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRect(152, 84, 196, 40), Qt::AlignLeft | Qt::TextWordWrap,
               "a teaching simulator of\nhuman respiration");

    // A tidal breathing trace under the name, with a sigh in the middle.
    p.setPen(QPen(QColor(0, 128, 0), 2.2));
    QPainterPath breath;
    for (int x = 0; x <= 190; ++x) {
        const double t = x / 190.0;
        const double depth = (t > 0.45 && t < 0.62) ? 1.8 : 1.0;
        const double y = 158 - 14 * depth * std::pow(std::sin(t * 5.5 * M_PI), 2);
        if (x == 0)
            breath.moveTo(152 + x, y);
        else
            breath.lineTo(152 + x, y);
    }
    p.drawPath(breath);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawLine(152, 172, 342, 172);
    p.end();
}

bool write_jpeg(const QImage& image, const char* path)
{
    FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: logo_generator LOGO.jpg\n");
        return 2;
    }
    QImage image(350, 190, QImage::Format_RGB32);
    draw_logo(image);
    if (!write_jpeg(image, argv[1])) return 1;
    return 0;
}
