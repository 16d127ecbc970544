// Draws the busy clip that the backup screen plays while it copies: a row of leaves, one of
// them lit, the light moving along. Written as an animated GIF, which the toolkit reads but
// cannot write, so the few lines of the format are here.
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 36;
constexpr int kLeaves = 8;
constexpr int kDelayCentiseconds = 12;

const QList<QColor> kPalette{QColor(236, 240, 228), QColor(170, 196, 150), QColor(46, 125, 50), QColor(120, 90, 40)};

QImage drawFrame(int lit)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(kPalette[0]);
    QPainter painter(&image);
    const int step = kWidth / kLeaves;
    for (int i = 0; i < kLeaves; ++i) {
        const QRect leaf(i * step + 6, 8, step - 12, kHeight - 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(i == lit ? kPalette[2] : kPalette[1]);
        painter.drawEllipse(leaf);
        painter.setPen(kPalette[3]);
        painter.drawLine(leaf.left() + 2, leaf.center().y(), leaf.right() - 2, leaf.center().y());
    }
    return image;
}

int paletteIndex(QRgb pixel)
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < kPalette.size(); ++i) {
        const int dr = qRed(pixel) - kPalette[i].red();
        const int dg = qGreen(pixel) - kPalette[i].green();
        const int db = qBlue(pixel) - kPalette[i].blue();
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void put16(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// Codes of 9 bits, least significant bit first. A clear code before the code table would
// grow past 9 bits keeps every code one pixel wide: larger than true compression, and
// readable by every decoder.
QByteArray lzwCodes(const QImage &frame)
{
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    constexpr int kRun = 250;
    QByteArray bytes;
    quint32 bits = 0;
    int bitCount = 0;
    auto putCode = [&](int code) {
        bits |= quint32(code) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            bytes.append(char(bits & 0xff));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    int sinceClear = kRun;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (sinceClear == kRun) {
                putCode(kClear);
                sinceClear = 0;
            }
            putCode(paletteIndex(frame.pixel(x, y)));
            ++sinceClear;
        }
    }
    putCode(kEnd);
    if (bitCount > 0)
        bytes.append(char(bits & 0xff));
    return bytes;
}

QByteArray gif(const QList<QImage> &frames)
{
    QByteArray out("GIF89a");
    put16(out, kWidth);
    put16(out, kHeight);
    out.append(char(0xF7)); // global colour table of 256 entries
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QColor colour = i < kPalette.size() ? kPalette[i] : QColor(Qt::black);
        out.append(char(colour.red()));
        out.append(char(colour.green()));
        out.append(char(colour.blue()));
    }
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19); // loop for ever
    for (const QImage &frame : frames) {
        out.append("\x21\xF9\x04\x00", 4);
        put16(out, kDelayCentiseconds);
        out.append("\x00\x00", 2);
        out.append(char(0x2C));
        put16(out, 0);
        put16(out, 0);
        put16(out, kWidth);
        put16(out, kHeight);
        out.append(char(0));
        out.append(char(8)); // minimum code size
        const QByteArray codes = lzwCodes(frame);
        for (qsizetype at = 0; at < codes.size(); at += 255) {
            const QByteArray block = codes.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ccherb-clipgen OUTPUT.gif\n");
        return 2;
    }
    QList<QImage> frames;
    for (int lit = 0; lit < kLeaves; ++lit)
        frames.append(drawFrame(lit));
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(gif(frames)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
