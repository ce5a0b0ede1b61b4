// kx5170-pseudo-translation IN.ts OUT.ts: writes a catalogue that translates every
// message of IN.ts into a bracketed, accented text about 40 % longer than its source
// ("Write" -> "[Ŵŕîţé ~~]"), so that a text the program never translates, or one a
// layout cuts off, shows at a glance. What the program fills in or acts on is kept as
// it is: placeholders (%1, %n, %L2), "&" accelerators, markup and line breaks.
// Messages the source file marks vanished or obsolete are left out.
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cstdio>

namespace {

QChar Accented(QChar c)
{
    static const QHash<QChar, QChar> map = [] {
        const QString plain = QStringLiteral("abcdefghijklmnoprstuwyzABCDEFGHIJKLMNOPRSTUWYZ");
        const QString accented = QStringLiteral("åƀçðéƒĝĥîĵķļɱñöþŕšţûŵýžÅƁÇÐÉƑĜĤÎĴĶĻṀÑÖÞŔŠŢÛŴÝŽ");
        QHash<QChar, QChar> m;
        for (qsizetype i = 0; i < plain.size(); ++i)
            m.insert(plain[i], accented[i]);
        return m;
    }();
    return map.value(c, c);
}

QString Pseudo(const QString& source)
{
    QString out;
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == u'%') {
            // %1..%99, %n, %L1, %Ln: the program's to fill in.
            qsizetype end = i + 1;
            if (end < source.size() && source[end] == u'L')
                ++end;
            if (end < source.size() && source[end] == u'n')
                ++end;
            else
                while (end < source.size() && source[end].isDigit() && end - i < 4)
                    ++end;
            out += source.mid(i, end - i);
            i = end - 1;
        } else if (c == u'&') {
            // An accelerator ("&Write"), a literal "&&", or an entity of rich text
            // ("&amp;"): kept with the character after it, which the shortcut names.
            const qsizetype semicolon = source.indexOf(u';', i);
            bool entity = semicolon > i + 1 && semicolon - i <= 8;
            for (qsizetype k = i + 1; entity && k < semicolon; ++k)
                entity = source[k].isLetterOrNumber() || source[k] == u'#';
            const qsizetype end = entity ? semicolon + 1 : qMin(i + 2, source.size());
            out += source.mid(i, end - i);
            i = end - 1;
        } else if (c == u'<') {
            // Markup of rich text: tags are not words.
            const qsizetype end = source.indexOf(u'>', i);
            if (end < 0) {
                out += c;
                continue;
            }
            out += source.mid(i, end - i + 1);
            i = end;
        } else {
            out += Accented(c);
        }
    }
    // About 40 % longer in all, brackets and the space included.
    const qsizetype padding = qMax<qsizetype>(1, (source.size() * 2 + 4) / 5 - 3);
    return u'[' + out + u' ' + QString(padding, u'~') + u']';
}

struct Message {
    QString Source;
    QString Comment;
    bool Numerus = false;
    bool Gone = false;
};

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: kx5170-pseudo-translation IN.ts OUT.ts\n");
        return 2;
    }
    QFile in(arguments[1]);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "kx5170-pseudo-translation: cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    QSaveFile outFile(arguments[2]);
    if (!outFile.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "kx5170-pseudo-translation: cannot write %s\n", qPrintable(arguments[2]));
        return 1;
    }
    QXmlStreamReader reader(&in);
    QXmlStreamWriter writer(&outFile);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeDTD(QStringLiteral("<!DOCTYPE TS>"));
    writer.writeStartElement(QStringLiteral("TS"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    // English's plural rule: one form for one, another for the rest.
    writer.writeAttribute(QStringLiteral("language"), QStringLiteral("en"));
    writer.writeAttribute(QStringLiteral("sourcelanguage"), QStringLiteral("en"));

    Message message;
    bool inContext = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto name = reader.name();
            if (name == QLatin1String("context")) {
                writer.writeStartElement(QStringLiteral("context"));
                inContext = true;
            } else if (name == QLatin1String("name") && inContext) {
                writer.writeTextElement(QStringLiteral("name"), reader.readElementText());
            } else if (name == QLatin1String("message")) {
                message = Message{};
                message.Numerus = reader.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            } else if (name == QLatin1String("source")) {
                message.Source = reader.readElementText();
            } else if (name == QLatin1String("comment")) {
                message.Comment = reader.readElementText();
            } else if (name == QLatin1String("translation")) {
                const auto type = reader.attributes().value(QLatin1String("type"));
                message.Gone = type == QLatin1String("vanished") || type == QLatin1String("obsolete");
                reader.skipCurrentElement();
            }
        } else if (reader.isEndElement()) {
            const auto name = reader.name();
            if (name == QLatin1String("context")) {
                writer.writeEndElement();
                inContext = false;
            } else if (name == QLatin1String("message") && !message.Gone) {
                writer.writeStartElement(QStringLiteral("message"));
                if (message.Numerus)
                    writer.writeAttribute(QStringLiteral("numerus"), QStringLiteral("yes"));
                writer.writeTextElement(QStringLiteral("source"), message.Source);
                if (!message.Comment.isEmpty())
                    writer.writeTextElement(QStringLiteral("comment"), message.Comment);
                const QString pseudo = Pseudo(message.Source);
                if (message.Numerus) {
                    writer.writeStartElement(QStringLiteral("translation"));
                    writer.writeTextElement(QStringLiteral("numerusform"), pseudo);
                    writer.writeTextElement(QStringLiteral("numerusform"), pseudo);
                    writer.writeEndElement();
                } else {
                    writer.writeTextElement(QStringLiteral("translation"), pseudo);
                }
                writer.writeEndElement();
            }
        }
    }
    if (reader.hasError()) {
        std::fprintf(stderr, "kx5170-pseudo-translation: %s: line %lld: %s\n", qPrintable(arguments[1]),
                     static_cast<long long>(reader.lineNumber()), qPrintable(reader.errorString()));
        return 1;
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return outFile.commit() ? 0 : 1;
}
