// Draws the flag pictures shown beside each language in the language list:
//   make-flags OUTPUT_LANGUAGES_DIR CODE...
// writes OUTPUT_LANGUAGES_DIR/<CODE>/Flag.bmp for each code it knows.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 16;

// Three equal bands, top to bottom or left to right.
void Bands(QPainter& p, const QColor& a, const QColor& b, const QColor& c, bool vertical) {
  for (int i = 0; i < 3; ++i) {
    const QColor& colour = i == 0 ? a : (i == 1 ? b : c);
    if (vertical) {
      p.fillRect(QRectF(kWidth * i / 3.0, 0, kWidth / 3.0, kHeight), colour);
    } else {
      p.fillRect(QRectF(0, kHeight * i / 3.0, kWidth, kHeight / 3.0), colour);
    }
  }
}

void England(QPainter& p) {
  p.fillRect(0, 0, kWidth, kHeight, Qt::white);
  const QColor red(0xCE, 0x11, 0x24);
  p.fillRect(QRectF(kWidth / 2.0 - 2, 0, 4, kHeight), red);
  p.fillRect(QRectF(0, kHeight / 2.0 - 2, kWidth, 4), red);
}

void Russia(QPainter& p) {
  Bands(p, Qt::white, QColor(0x00, 0x39, 0xA6), QColor(0xD5, 0x2B, 0x1E), false);
}

void France(QPainter& p) {
  Bands(p, QColor(0x00, 0x23, 0x95), Qt::white, QColor(0xED, 0x29, 0x39), true);
}

void Latvia(QPainter& p) {
  // Carmine, white, carmine in the proportions 2:1:2.
  const QColor carmine(0x9E, 0x30, 0x39);
  p.fillRect(0, 0, kWidth, kHeight, carmine);
  p.fillRect(QRectF(0, kHeight * 2 / 5.0, kWidth, kHeight / 5.0), Qt::white);
}

void Azerbaijan(QPainter& p) {
  const QColor red(0xEF, 0x33, 0x40);
  Bands(p, QColor(0x00, 0xB5, 0xE2), red, QColor(0x50, 0x9E, 0x2F), false);
  // A white crescent and a small star in the middle band.
  const QPointF centre(kWidth / 2.0 - 0.8, kHeight / 2.0);
  QPainterPath crescent;
  crescent.addEllipse(centre, 2.6, 2.6);
  QPainterPath bite;
  bite.addEllipse(centre + QPointF(0.9, 0), 2.1, 2.1);
  p.fillPath(crescent.subtracted(bite), Qt::white);
  p.fillRect(QRectF(centre.x() + 2.2, centre.y() - 0.9, 1.8, 1.8), Qt::white);
}

}  // namespace

int main(int argc, char** argv) {
  // Only QImage and QPainter are used, so no display is needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: make-flags OUTPUT_LANGUAGES_DIR CODE...\n");
    return 2;
  }
  const std::map<QString, std::function<void(QPainter&)>> painters = {
      {"ENG", England}, {"RUS", Russia}, {"FRA", France}, {"LAV", Latvia}, {"AZE", Azerbaijan}};
  const QString out_dir = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const QString code = QString::fromLocal8Bit(argv[i]);
    const auto found = painters.find(code);
    if (found == painters.end()) {
      std::fprintf(stderr, "make-flags: no flag for %s\n", argv[i]);
      return 1;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      found->second(painter);
    }
    const QString folder = out_dir + '/' + code;
    QDir().mkpath(folder);
    if (!image.convertToFormat(QImage::Format_RGB888).save(folder + "/Flag.bmp", "BMP")) {
      std::fprintf(stderr, "make-flags: cannot write %s/Flag.bmp\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
