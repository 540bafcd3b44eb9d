#include "vocabularyfile.h"

#include "platform.h"
#include "selection.h"
#include "wordtable.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>

namespace Vocabulary {

namespace {
    constexpr char CodePage[] = "windows-1252";

    QStringView field(QStringView line, qsizetype column, qsizetype width)
    {
        if (line.size() < column)
            return {};
        return line.mid(column - 1, width);
    }
} // namespace

qsizetype findCrLf(QStringView text, qsizetype from)
{
    // Searching for the CR alone lets the search run at full speed.
    for (;;) {
        const qsizetype cr = text.indexOf(u'\r', from);
        if (cr < 0 || (cr + 1 < text.size() && text.at(cr + 1) == u'\n'))
            return cr;
        from = cr + 1;
    }
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder(CodePage);
    return decoder.decode(bytes);
}

QByteArray encode(const QString &text, bool *ok)
{
    QStringEncoder encoder(CodePage);
    QByteArray bytes = encoder.encode(text);
    if (ok)
        *ok = !encoder.hasError();
    return bytes;
}

bool canEncode(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return true;
    bool ok = false;
    encode(QString(c), &ok);
    return ok;
}

namespace {
    // LF alone and CR alone end a line as CR LF does.
    void makeLineEndsCrLf(QString &text)
    {
        const qsizetype crLf = text.count(CrLf);
        if (text.count(u'\r') == crLf && text.count(u'\n') == crLf)
            return;
        text.replace(CrLf, QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        text.replace(QStringLiteral("\n"), CrLf);
    }
} // namespace

UserFile::Text readFile(const QString &path, UserFile::Stamp *stamp)
{
    UserFile::Text read = UserFile::readText(path, MaxFileBytes, stamp);
    makeLineEndsCrLf(read.text);
    return read;
}

UserFile::Written writeFile(const QString &path, const QString &text)
{
    return UserFile::write(path, encode(text));
}

QString dateText(const QDate &date)
{
    return date.toString(u"dd/MM/yyyy");
}

QString timeText(const QTime &time)
{
    return time.toString(u"HH:mm:ss");
}

FileText splitFileText(const QString &fileText)
{
    FileText result;
    // When every line is a word line and the text ends in CR LF, the word
    // list is the file's text itself. The walk may stop before an empty last
    // line ("...\r\n\r\n"), so the lines it visits must reach the end.
    bool same = fileText.endsWith(CrLf);
    qsizetype covered = 0;
    forEachLine(fileText, [&](QStringView line) {
        same = same && !line.isEmpty() && !line.startsWith(u"##");
        covered = (line.data() - fileText.constData()) + line.size() + 2;
        return same;
    });
    same = same && covered == fileText.size();
    if (same) {
        result.wordText = fileText;
        return result;
    }
    result.wordText.reserve(fileText.size() + 2);
    forEachLine(fileText, [&result](QStringView line) {
        if (line.startsWith(u"##")) {
            result.comments.append(line);
            result.comments.append(CrLf);
        } else if (!line.isEmpty()) {
            result.wordText.append(line);
            result.wordText.append(CrLf);
        }
        return true;
    });
    return result;
}

namespace {
    // Which bracket characters occur in the text: bit 0 "(", 1 ")", 2 "[", 3 "]".
    // Without a branch per character: every vocabulary line passes through here.
    int bracketsIn(QStringView text)
    {
        static constexpr auto bits = [] {
            std::array<quint8, u']' + 2> table {};
            table[u'('] = 1;
            table[u')'] = 2;
            table[u'['] = 4;
            table[u']'] = 8;
            return table;
        }();
        unsigned found = 0;
        for (const QChar c : text)
            found |= bits[std::min<char16_t>(c.unicode(), u']' + 1)];
        return int(found);
    }

    // The codes of the bracket rule: ( ) [ ] count 1, 10, 2, 20 on the English
    // side and 4, 40, 8, 80 on the Italian side.
    int bracketSum(int found, int open, int close, int openSquare, int closeSquare)
    {
        return (found & 1 ? open : 0) + (found & 2 ? close : 0) + (found & 4 ? openSquare : 0)
            + (found & 8 ? closeSquare : 0);
    }
} // namespace

int checkBrackets(QStringView linin, QStringView linit)
{
    int check = bracketSum(bracketsIn(linin), 1, 10, 2, 20);
    if (check == 0 || check == 11 || check == 22) {
        check = bracketSum(bracketsIn(linit), 4, 40, 8, 80);
        if (check == 44 || check == 88)
            check = 0;
    }
    return check;
}

QString badLineMessage(int lineNumber, const QString &lezc, const QString &linin, const QString &linit)
{
    return QStringLiteral("La Riga numero ") + QString::number(lineNumber)
        + QStringLiteral(" usa male le parentesi") + CrLf + CrLf + QStringLiteral("  Lezione = ") + lezc
        + CrLf + QStringLiteral("  Inglese = ") + linin + CrLf + QStringLiteral("  Italiano= ") + linit;
}

bool parseWordList(
    const QString &text, WordTable &words, CriticalList &memoc, bool criticalBuilt, Platform &platform)
{
    int lineNumber = 0;
    bool fits = true;
    // Room for the rows at once: a word line is about a hundred characters.
    const qsizetype expected = std::min<qsizetype>(words.count() + text.size() / 40 + 1, WordTable::MaxRows);
    words.reserve(int(expected));
    const qsizetype base = words.keep(text);
    forEachLine(text, [&](QStringView line) {
        ++lineNumber;
        const QStringView linin = field(line, EnglishColumn, FieldWidth);
        const QStringView linit = field(line, ItalianColumn, FieldWidth);
        if (!wellFormed(linin, linit)) {
            platform.message(BadLineTitle,
                badLineMessage(lineNumber, field(line, 1, 4).toString(), linin.toString(), linit.toString()),
                Platform::Buttons::Ok, Platform::Icon::Stop);
            return true;
        }
        const int row = words.count();
        if (row >= WordTable::MaxRows) {
            fits = false;
            return false;
        }
        words.append(base + (line.data() - text.constData()), line.size());
        const bool marked = line.size() >= 4 && line.at(3) != u' ';
        if (marked && !criticalBuilt && !memoc.contains(row))
            memoc.add(row);
        return true;
    });
    return fits;
}

QString saveText(const QString &comments, const QString &wordText)
{
    QString text;
    text.reserve(comments.size() + wordText.size() + 4);
    text.append(comments);
    text.append(CrLf);
    text.append(wordText);
    text.append(CrLf);
    return text;
}

SaveProblem checkBeforeSave(const QString &wordText)
{
    // The saved text ends in CR LF, so the next start-up reads every line.
    int lineNumber = 0;
    int rows = 0;
    qsizetype pos = 0;
    const qsizetype length = wordText.size();
    while (pos < length) {
        qsizetype end = findCrLf(wordText, pos);
        if (end < 0)
            end = length;
        const QStringView line = QStringView(wordText).mid(pos, end - pos);
        ++lineNumber;
        pos = end + 2;
        if (const SaveProblem problem = lineProblem(line, lineNumber))
            return problem;
        if (!line.isEmpty() && !line.startsWith(u"##") && ++rows > WordTable::MaxRows)
            return { SaveProblem::TooManyRows, lineNumber, QString() };
    }
    // Without a single word the next start-up would refuse the file.
    if (rows == 0)
        return { SaveProblem::NoWords, 0, QString() };
    return {};
}

SaveProblem lineProblem(QStringView line, int lineNumber)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'\t')
            return { SaveProblem::Tab, lineNumber, QString() };
        if (c.isSurrogate() || !canEncode(c)) {
            // A character beyond the 16-bit range is a pair of halves: name it whole.
            const bool pair = c.isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate();
            return { SaveProblem::BadCharacter, lineNumber, line.mid(i, pair ? 2 : 1).toString() };
        }
    }
    if (line.isEmpty() || line.startsWith(u"##"))
        return {};
    if (WordTable::lessonNumber(line) < 0)
        return { SaveProblem::BadLesson, lineNumber, line.left(2).toString() };
    // The start-up leaves such a line out with a message, every time: the file never gets it.
    if (!wellFormed(field(line, EnglishColumn, FieldWidth), field(line, ItalianColumn, FieldWidth)))
        return { SaveProblem::Brackets, lineNumber, QString() };
    return {};
}

QString lineProblemText(const SaveProblem &problem)
{
    switch (problem.kind) {
    case SaveProblem::BadLesson:
        return QStringLiteral("ha un numero di lezione non valido: \u00ab") + problem.detail
            + QStringLiteral("\u00bb");
    case SaveProblem::BadCharacter:
        return QStringLiteral("contiene un carattere che il file non pu\u00f2 conservare: \u00ab")
            + problem.detail + QStringLiteral("\u00bb (U+")
            + QString::number(problem.detail.toUcs4().value(0), 16).toUpper().rightJustified(4, u'0')
            + QStringLiteral(")");
    case SaveProblem::Tab:
        return QStringLiteral("contiene un carattere di tabulazione (TAB), che sposterebbe le colonne.");
    case SaveProblem::TooManyRows:
        return QStringLiteral("supera il numero massimo di vocaboli (") + QString::number(WordTable::MaxRows)
            + QStringLiteral(").");
    case SaveProblem::Brackets:
        return QStringLiteral("usa male le parentesi");
    case SaveProblem::None:
    case SaveProblem::NoWords:
        break;
    }
    return QString();
}

QString saveProblemMessage(const SaveProblem &problem)
{
    if (problem.kind == SaveProblem::None)
        return QString();
    if (problem.kind == SaveProblem::NoWords)
        return QStringLiteral(
                   "L'elenco non ha nessun vocabolo: al prossimo avvio il file non potrebbe essere letto.")
            + CrLf + CrLf
            + QStringLiteral("Scrivi almeno una parola e salva di nuovo: il file non \u00e8 stato cambiato.");
    QString text = QStringLiteral("La Riga numero ") + QString::number(problem.lineNumber) + u' '
        + lineProblemText(problem);
    if (problem.kind == SaveProblem::BadLesson)
        text += CrLf + QStringLiteral("Nelle colonne 1-2 ci vuole un numero da 0 a %1.").arg(MaxLesson);
    return text + CrLf + CrLf
        + QStringLiteral("Correggi la riga e salva di nuovo: il file non \u00e8 stato cambiato.");
}

QString saveFailedMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("Non riesco a scrivere il file") + CrLf + path + CrLf + QStringLiteral("(") + reason
        + QStringLiteral(")") + CrLf + CrLf
        + QStringLiteral("Il file di prima resta com'era e le modifiche restano nell'elenco: "
                         "puoi riprovare a salvare.");
}

} // namespace Vocabulary
