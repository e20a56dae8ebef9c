#include "dialog/script.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCodec>

#include <algorithm>
#include <limits>

namespace {

// The terminal's line ends, the file's on every platform.
QString withCrLf(const QString &script)
{
    return QString(script).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

// A quote or backslash in a file name would end or bend the MQL4 string literal.
QString mql4StringBody(const QString &text)
{
    QString body;
    body.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            body += QLatin1Char('\\');
        body += c;
    }
    return body;
}

// The field's validator admits any Unicode decimal digit, but MQL4 reads ASCII digits only. An emptied
// field means the bar it starts at: without it iCustom would lack its shift argument.
QString mql4Shift(const QString &shiftText)
{
    if (shiftText.isEmpty())
        return QStringLiteral("0");
    QString shift = shiftText;
    for (QChar &c : shift) {
        if (c.isDigit())
            c = QLatin1Char(char('0' + c.digitValue()));
    }
    return shift;
}

// Puts `old` back as the whole of `file`, and tells whether the file holds exactly it again. A write
// that stops part-way (at a size limit, say) may still have put back every byte the failed rewrite
// changed, since that stopped at the same place: then the file's own bytes tell.
bool putBack(QFile &file, const QByteArray &old)
{
    if (file.seek(0) && file.write(old) == old.size() && file.resize(old.size()))
        return true;
    return file.resize(old.size()) && file.seek(0) && file.readAll() == old;
}

// Some folders let a user replace a file but not create the temporary one beside it, and Windows lets
// no file that another program holds open be replaced: then the file can only be rewritten in place.
// The room the new script needs beyond the old one is claimed first, so that a full disk stops the
// save before any old byte changed; should a later write fail all the same, the old bytes go back,
// through a fresh handle should the first one have failed with the write (a share that dropped).
// Only when that fails too can the file be left changed.
bool replaceInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    // Unbuffered: a write that fails must not linger in a buffer and block the restore.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;

    const auto writeAt = [&file](qint64 position, const QByteArray &data) {
        return file.seek(position) && file.write(data) == data.size();
    };
    if ((bytes.size() <= old.size() || writeAt(old.size(), bytes.mid(old.size())))
        && writeAt(0, bytes.left(old.size())) && file.resize(bytes.size()))
        return true;
    if (!putBack(file, old)) {
        file.close();
        QFile fresh(path);
        if (fresh.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
            putBack(fresh, old);
    }
    return false;
}

bool isFolder(QStringView name, const char *folder)
{
    return name.compare(QLatin1String(folder), Qt::CaseInsensitive) == 0;
}

// The nearest MQL4\Indicators pair above a file: the MQL4 folder's path, and the folders between
// Indicators and the file.
struct IndicatorsFolder
{
    QString mql4;
    QStringList below;
};

std::optional<IndicatorsFolder> indicatorsFolderOf(const QString &path)
{
    // cleanPath also turns a Windows path's backslashes into slashes and drops doubled ones.
    const QString clean = QDir::cleanPath(path);
    QStringList below;
    // The nearest pair counts: a terminal's folder may itself lie below a copy of another's.
    for (int end = clean.lastIndexOf(QLatin1Char('/')); end > 0;) {
        const int start = clean.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
        const QStringView folder = QStringView(clean).mid(start, end - start);
        if (start > 1 && isFolder(folder, "Indicators")) {
            const int mql4Start = clean.lastIndexOf(QLatin1Char('/'), start - 2) + 1;
            if (isFolder(QStringView(clean).mid(mql4Start, start - 1 - mql4Start), "MQL4"))
                return IndicatorsFolder{clean.left(start - 1), below};
        }
        if (!folder.isEmpty())
            below.prepend(folder.toString());
        end = start - 1;
    }
    return std::nullopt;
}

} // namespace

QString indicatorNameOf(const QString &path)
{
    const QString name = QFileInfo(path).completeBaseName();
    if (name.isEmpty())
        return name;
    const auto folder = indicatorsFolderOf(path);
    if (!folder)
        return name;
    return QStringList(folder->below + QStringList{name}).join(QLatin1Char('\\'));
}

QString scriptsFolderOf(const QString &path)
{
    const auto folder = indicatorsFolderOf(path);
    if (!folder)
        return QString();
    const QDir mql4(folder->mql4);
    for (const QString &entry : mql4.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (isFolder(entry, "Scripts"))
            return mql4.filePath(entry);
    }
    return QString();
}

bool fitsMql4String(const QString &name)
{
    return std::none_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

bool fitsMql4Shift(const QString &shiftText)
{
    qint64 shift = 0;
    for (const QChar c : shiftText) {
        if (!c.isDigit())
            return false;
        shift = shift * 10 + c.digitValue();
        if (shift > std::numeric_limits<qint32>::max())
            return false;
    }
    return true;
}

QString composeScript(const QString &indicatorName, const QString &shiftText, BufferSet buffers)
{
    const QString name = mql4StringBody(indicatorName);
    const QString shift = mql4Shift(shiftText);

    // The blanks at the ends of the fixed lines are part of the format traders already have files in.
    QString script = QStringLiteral("#include <WinUser32.mqh> \n"
                                    " int start() \n"
                                    " { string show;  \n");
    for (int n = 0; n < int(buffers.size()); ++n) {
        if (!buffers.test(size_t(n)))
            continue;
        const QString digit = QString::number(n);
        script += QLatin1String("double b") + digit + QLatin1String("=iCustom(NULL,0,\"") + name
                + QLatin1String("\",") + digit + QLatin1Char(',') + shift + QLatin1String(");\n");
        script += QLatin1String("show=show+\"Buffer ") + digit + QLatin1String(" = \"+DoubleToStr(b") + digit
                + QLatin1String(", 5)+ \"\\n\" ;\n");
    }
    // iCustom gives 0 for an indicator the terminal cannot load: the box then says why, after the values.
    script += QLatin1String("int error=GetLastError();\n"
                            "if(error==4072) show=show+\"") + QLatin1String(scriptLoadFailureLine)
            + QLatin1String("\\\"") + name
            + QLatin1String("\\\" from its MQL4\\\\Indicators folder (error 4072)\";\n"
                            "else if(error!=0) show=show+\"") + QLatin1String(scriptReadErrorLine)
            + QLatin1String("\"+IntegerToString(error)+\" while reading the indicator \\\"")
            + name + QLatin1String("\\\"\";\n");
    script += QLatin1String("MessageBox(show); \n"
                            "return (0); \n"
                            " } ");
    return script;
}

std::optional<QByteArray> encodeScript(const QString &script, QTextCodec *codec)
{
    const QString text = withCrLf(script);
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    QByteArray bytes = codec->fromUnicode(text.constData(), text.size(), &state);
    if (state.invalidChars != 0 || state.remainingChars != 0)
        return std::nullopt;
    // Windows' own code page conversion reports no invalid character: it writes '?' or a look-alike
    // ("best fit") in its place. Only reading the bytes back tells whether they hold the text.
    if (codec->toUnicode(bytes) != text)
        return std::nullopt;
    return bytes;
}

QByteArray scriptFile(const QString &script, QTextCodec *codePage)
{
    // With no code page known, only ASCII is sure to be read back: it is the same bytes in every code
    // page, UTF-8 included, and Latin-1 writes it.
    const bool ascii = std::all_of(script.begin(), script.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!codePage && ascii)
        codePage = QTextCodec::codecForName("ISO-8859-1");
    if (codePage) {
        if (auto bytes = encodeScript(script, codePage))
            return *bytes;
    }
    // Each UTF-16 unit as it stands, a surrogate pair's two included, low byte first.
    QByteArray bytes("\xFF\xFE");
    for (const QChar c : withCrLf(script)) {
        bytes += char(c.unicode() & 0xff);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

QString withScriptSuffix(const QString &path)
{
    // Only the file name counts: a folder's point (a Wine prefix's ".wine") is no suffix of the script.
    // Nor is any point of the name's own: a version ("NonLagMA_v7.1") or another suffix ("notes.txt")
    // leaves a file the terminal never lists, so it gets ".mq4" as Windows' own dialog gives it.
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.endsWith(QLatin1String(".mq4"), Qt::CaseInsensitive))
        return path;
    return path + QLatin1String(".mq4");
}

bool saveScript(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QFileInfo(path).isFile() && replaceInPlace(path, bytes);
    // Qt 5's commit() misses a write error that surfaces only when its buffer is flushed (a full disk),
    // and would put the cut file in place of the old one: flush first and check.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    if (file.commit())
        return true;
    // Windows refuses to rename over a file that another program holds open, even where that program
    // (an editor, say) lets others write it: then the script is written into the file itself.
    return QFileInfo(path).isFile() && replaceInPlace(path, bytes);
}
