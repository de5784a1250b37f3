// SPDX-License-Identifier: MIT
#include "filenamecodec.h"

#include <QTextCodec>

namespace {

QTextCodec *&textCodec()
{
    static QTextCodec *codec = nullptr;
    return codec;
}

constexpr ushort escapeBase = 0xDC00;
constexpr int mibUtf8 = 106;

// UTF-8 whose undecodable bytes become lone surrogates U+DC80 to U+DCFF, and back. Each call
// converts whole names: a sequence cut off at the end is kept as escaped bytes.
class EscapingUtf8Codec : public QTextCodec {
public:
    QByteArray name() const override { return QByteArrayLiteral("UTF-8 (escaped bytes)"); }
    int mibEnum() const override { return -mibUtf8; }

protected:
    QString convertToUnicode(const char *in, int length, ConverterState *) const override
    {
        QString out;
        out.reserve(length);
        const auto *bytes = reinterpret_cast<const uchar *>(in);
        for (int i = 0; i < length;) {
            const int n = sequenceLength(bytes + i, length - i);
            if (n == 0) {
                out.append(QChar(ushort(escapeBase + bytes[i])));
                ++i;
            } else {
                out.append(QString::fromUtf8(in + i, n));
                i += n;
            }
        }
        return out;
    }

    QByteArray convertFromUnicode(const QChar *in, int length, ConverterState *) const override
    {
        QByteArray out;
        out.reserve(length);
        for (int i = 0; i < length; ++i) {
            const ushort u = in[i].unicode();
            const bool escaped = u >= escapeBase + 0x80 && u <= escapeBase + 0xFF;
            if (escaped) {
                out.append(char(u - escapeBase));
            } else {
                // A surrogate pair goes whole.
                const int n = in[i].isHighSurrogate() && i + 1 < length &&
                                      in[i + 1].isLowSurrogate()
                                  ? 2
                                  : 1;
                out.append(QString(in + i, n).toUtf8());
                i += n - 1;
            }
        }
        return out;
    }

private:
    // The length of the well-formed UTF-8 sequence at s, or 0 when none starts there.
    static int sequenceLength(const uchar *s, int available)
    {
        const uchar b = s[0];
        if (b < 0x80)
            return 1;
        int n = 0;
        uint min = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            n = 2;
            min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 3;
            min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 4;
            min = 0x10000;
        } else {
            return 0;
        }
        if (available < n)
            return 0;
        uint code = b & (0x7F >> n);
        for (int k = 1; k < n; ++k) {
            if ((s[k] & 0xC0) != 0x80)
                return 0;
            code = (code << 6) | (s[k] & 0x3F);
        }
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        return code < min || code > 0x10FFFF || surrogate ? 0 : n;
    }
};

} // namespace

void installFileNameCodec()
{
    QTextCodec *locale = QTextCodec::codecForLocale();
    if (textCodec() || locale->mibEnum() != mibUtf8)
        return; // done already, or a locale whose codec keeps every byte (Latin-1) or is other
    textCodec() = locale;
    // Qt owns and deletes the codecs it knows, this one included.
    QTextCodec::setCodecForLocale(new EscapingUtf8Codec);
}

QTextCodec *localeTextCodec()
{
    return textCodec() ? textCodec() : QTextCodec::codecForLocale();
}
