#include "ui/rawview.h"

#include "session/hexdump.h"

#include "session/wiretext.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

constexpr qsizetype kRowBytes = kHexDumpRowBytes;

QChar Glyph(unsigned char byte)
{
    const char c = char(byte);
    const QChar ch = WireToText(QByteArrayView(&c, 1)).at(0);
    // A blank stays a blank so trailing blanks line up with their "20"; the
    // other invisible characters (tab, controls, no-break space, soft
    // hyphen) become dots like any unprintable byte.
    if (ch == u' ')
        return ch;
    if (!ch.isPrint() || ch.isSpace() || ch == QChar(0xAD))
        return u'.';
    return ch;
}

} // namespace

QString CRawView::HexDump(QByteArrayView bytes)
{
    QString out;
    const qsizetype rows = (bytes.size() + kRowBytes - 1) / kRowBytes;
    out.reserve(rows * 80);
    for (qsizetype offset = 0; offset < bytes.size(); offset += kRowBytes) {
        const QByteArrayView row = bytes.sliced(offset, std::min(kRowBytes, bytes.size() - offset));
        out += QLatin1StringView(HexDumpColumns(row, offset));
        out += QStringLiteral(" |");
        for (const char c : row)
            out += Glyph(static_cast<unsigned char>(c));
        out += QStringLiteral("|\n");
    }
    return out;
}

CRawView::CRawView(qsizetype line, QByteArrayView bytes, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("rawView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Bytes of line %1").arg(line + 1));
    auto *header =
        new QLabel(QStringLiteral("Line %1: %2 bytes").arg(line + 1).arg(bytes.size()), this);
    header->setObjectName(QStringLiteral("rawHeader"));
    auto *dump = new QPlainTextEdit(this);
    dump->setObjectName(QStringLiteral("rawText"));
    dump->setReadOnly(true);
    dump->setLineWrapMode(QPlainTextEdit::NoWrap);
    dump->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    dump->setPlainText(HexDump(bytes));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("rawButtons"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(dump);
    layout->addWidget(buttons);
    const int charWidth = dump->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    resize(charWidth * 84 + 40, 300);
}
