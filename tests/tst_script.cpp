#include "dialog/script.h"
#include "files.h"
#include "fixtures.h"

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif


namespace {

BufferSet buffers(std::initializer_list<int> numbers)
{
    BufferSet set;
    for (int n : numbers)
        set.set(size_t(n));
    return set;
}

} // namespace

Q_DECLARE_METATYPE(BufferSet)

class tst_Script : public QObject
{
    Q_OBJECT

private slots:
    void workedExample_data();
    void workedExample();
    void calls_data();
    void calls();
    void nameOfPath_data();
    void nameOfPath();
    void savedPath_data();
    void savedPath();
    void encoding_data();
    void encoding();
    void nameFitsString_data();
    void nameFitsString();
    void saveReplacesWholeFile_data();
    void saveReplacesWholeFile();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
#ifdef Q_OS_UNIX
    void lockedFolder_data();
    void lockedFolder();
#endif
};

void tst_Script::workedExample_data()
{
    QTest::addColumn<BufferSet>("buffers");
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("bytes");

    QTest::newRow("buffers 0 and 2") << buffers({2, 0}) << 554 << 566;
    QTest::newRow("all eight buffers") << buffers({0, 1, 2, 3, 4, 5, 6, 7}) << 1100 << 1124;
}

void tst_Script::workedExample()
{
    QFETCH(BufferSet, buffers);
    QFETCH(int, characters);
    QFETCH(int, bytes);

    const QString script = composeScript(QStringLiteral("ZigZag"), QStringLiteral("1"), buffers);
    QCOMPARE(script.size(), characters);
    if (buffers.count() == 2)
        QCOMPARE(script, QString::fromLatin1(Fixture::workedExample()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const auto file = encodeScript(script, QTextCodec::codecForName("UTF-8"));
    QVERIFY(file);
    QCOMPARE(file->size(), bytes);
    QVERIFY(!file->endsWith('\n'));
    QCOMPARE(file->count("\r\n"), script.count(QLatin1Char('\n')));
    QCOMPARE(file->count('\n'), file->count("\r\n")); // no bare line feed anywhere
}

// The iCustom calls a script makes, in order; every other line is fixed by the format, but for the name
// in the error reports, spelt as in the calls.
void tst_Script::calls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shift");
    QTest::addColumn<BufferSet>("buffers");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("ticked 7, 0, 3 come out ascending")
        << "ZigZag" << "1" << buffers({7, 0, 3})
        << QStringList{"double b0=iCustom(NULL,0,\"ZigZag\",0,1);", "double b3=iCustom(NULL,0,\"ZigZag\",3,1);",
                       "double b7=iCustom(NULL,0,\"ZigZag\",7,1);"};
    QTest::newRow("leading zeros of the shift stay")
        << "Trend" << "0012" << buffers({5}) << QStringList{"double b5=iCustom(NULL,0,\"Trend\",5,0012);"};
    QTest::newRow("ten-digit shift")
        << "Trend" << "9999999999" << buffers({1}) << QStringList{"double b1=iCustom(NULL,0,\"Trend\",1,9999999999);"};
    QTest::newRow("empty shift is the current bar")
        << "Trend" << "" << buffers({0}) << QStringList{"double b0=iCustom(NULL,0,\"Trend\",0,0);"};
    QTest::newRow("Thai digits written as ASCII")
        << "Trend" << QString::fromUtf8("๑๒") << buffers({0}) << QStringList{"double b0=iCustom(NULL,0,\"Trend\",0,12);"};
    QTest::newRow("Thai zeros keep their places")
        << "Trend" << QString::fromUtf8("๐๐๔") << buffers({0}) << QStringList{"double b0=iCustom(NULL,0,\"Trend\",0,004);"};
    QTest::newRow("Arabic-Indic digits written as ASCII")
        << "Trend" << QString::fromUtf8("٣٧") << buffers({0}) << QStringList{"double b0=iCustom(NULL,0,\"Trend\",0,37);"};
    QTest::newRow("quote in the name escaped")
        << "My\"Trend" << "0" << buffers({0}) << QStringList{"double b0=iCustom(NULL,0,\"My\\\"Trend\",0,0);"};
    QTest::newRow("backslash in the name escaped")
        << "a\\b" << "0" << buffers({0}) << QStringList{"double b0=iCustom(NULL,0,\"a\\\\b\",0,0);"};
    QTest::newRow("backslash and quote escaped in the call and both error reports")
        << "Market\\My\"Trend" << "0" << buffers({0})
        << QStringList{"double b0=iCustom(NULL,0,\"Market\\\\My\\\"Trend\",0,0);"};
    QTest::newRow("name with blanks, signs and Thai unchanged")
        << QString::fromUtf8("My Trend-2 (v3) ราคา") << "2" << buffers({6})
        << QStringList{QString::fromUtf8("double b6=iCustom(NULL,0,\"My Trend-2 (v3) ราคา\",6,2);")};
    QTest::newRow("no buffer, no call") << "Trend" << "1" << BufferSet() << QStringList();
}

void tst_Script::calls()
{
    QFETCH(QString, name);
    QFETCH(QString, shift);
    QFETCH(BufferSet, buffers);
    QFETCH(QStringList, calls);

    const QString script = composeScript(name, shift, buffers);
    // MetaEditor warns of every number joined to a string by '+': each must go through a conversion.
    for (auto numbers = QRegularExpression("(?:int|double) (\\w+)=").globalMatch(script); numbers.hasNext();) {
        const QString number = QRegularExpression::escape(numbers.next().captured(1));
        QVERIFY2(!script.contains(QRegularExpression("\\+\\s*" + number + "\\b|\\b" + number + "\\s*\\+")),
                 qPrintable(number + " joined by '+'"));
    }
    const QStringList lines = script.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 9 + 2 * calls.size());
    QCOMPARE(lines.mid(0, 3), (QStringList{"#include <WinUser32.mqh> ", " int start() ", " { string show;  "}));
    QCOMPARE(lines.mid(lines.size() - 3), (QStringList{"MessageBox(show); ", "return (0); ", " } "}));
    for (int i = 0; i < calls.size(); ++i) {
        QCOMPARE(lines.at(3 + 2 * i), calls.at(i));
        const QChar digit = calls.at(i).at(8);
        QCOMPARE(lines.at(4 + 2 * i),
                 QStringLiteral("show=show+\"Buffer %1 = \"+DoubleToStr(b%1, 5)+ \"\\n\" ;").arg(digit));
    }
    if (calls.isEmpty())
        return;
    const QString call = calls.first();
    const QString spelt = call.mid(call.indexOf('"') + 1, call.lastIndexOf("\",") - call.indexOf('"') - 1);
    QCOMPARE(lines.mid(lines.size() - 6, 3),
             (QStringList{"int error=GetLastError();",
                          QStringLiteral("if(error==4072) show=show+\"The terminal could not load the indicator \\\"%1\\\" "
                                         "from its MQL4\\\\Indicators folder (error 4072)\";").arg(spelt),
                          QStringLiteral("else if(error!=0) show=show+\"The terminal reported error \"+IntegerToString(error)+\" while reading "
                                         "the indicator \\\"%1\\\"\";").arg(spelt)}));
}

// iCustom looks a name up below the terminal's MQL4\Indicators: a subfolder is part of the name.
void tst_Script::nameOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    const QString terminal = QStringLiteral("C:/Users/u/AppData/Roaming/MetaQuotes/Terminal/0123ABCD/MQL4/Indicators/");
    const QString deep = QString(QStringLiteral("a-folder-name-of-forty-characters-long-/")).repeated(6);
    QTest::newRow("outside any MQL4 folder") << "C:/x/ZigZag.ex4" << "ZigZag";
    QTest::newRow("points in the file name kept") << "C:/x/Super.Trend.ex4" << "Super.Trend";
    QTest::newRow("source file with points") << "C:/x/Trend.Lines.mq4" << "Trend.Lines";
    QTest::newRow("no suffix gives the whole name") << "C:/x/noext" << "noext";
    QTest::newRow("leading point kept") << "C:/x/.hidden.ex4" << ".hidden";
    QTest::newRow("file named just .ex4 gives no name") << "C:/x/.ex4" << "";
    QTest::newRow("directly in Indicators") << terminal + "ZigZag.ex4" << "ZigZag";
    QTest::newRow("Market indicator") << terminal + "Market/Foo.ex4" << "Market\\Foo";
    QTest::newRow("Market indicator with points") << terminal + "Market/Super.Trend.ex4" << "Market\\Super.Trend";
    QTest::newRow("folders keep their points") << terminal + "My Tools/v1.2/Trend.Lines.mq4" << "My Tools\\v1.2\\Trend.Lines";
    QTest::newRow("Indicators not below MQL4") << "C:/x/Indicators/Market/Foo.ex4" << "Foo";
    QTest::newRow("nearest pair counts") << "C:/MQL4/Indicators/old/MQL4/Indicators/Sub/Foo.ex4" << "Sub\\Foo";
    QTest::newRow("share, letter case ignored") << "//server/share/mql4/INDICATORS/Market/Foo.ex4" << "Market\\Foo";
    QTest::newRow("MQL4 at a drive root") << "D:/MQL4/Indicators/Examples/ZigZag.ex4" << "Examples\\ZigZag";
    QTest::newRow("terminal under Wine") << "/home/u/.wine/drive_c/MT4/MQL4/Indicators/Examples/ZigZag.ex4" << "Examples\\ZigZag";
    QTest::newRow("path past 260 characters") << terminal + deep + "Foo.ex4" << QString(deep).replace('/', '\\') + "Foo";
    QTest::newRow("leading point in a subfolder kept") << terminal + "Market/.hidden.ex4" << "Market\\.hidden";
    QTest::newRow("just .ex4 in a subfolder gives no name") << terminal + "Market/.ex4" << "";
}

void tst_Script::nameOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(indicatorNameOf(path), name);
}

void tst_Script::savedPath_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");

    QTest::newRow("name alone gets .mq4") << "/home/u/MT4/MQL4/Scripts/reader" << "/home/u/MT4/MQL4/Scripts/reader.mq4";
    QTest::newRow("point in a folder only: a Wine prefix")
        << "/home/u/.wine/drive_c/MT4/MQL4/Scripts/reader" << "/home/u/.wine/drive_c/MT4/MQL4/Scripts/reader.mq4";
    QTest::newRow(".mq4 not doubled") << "/home/u/.wine/reader.mq4" << "/home/u/.wine/reader.mq4";
    QTest::newRow(".MQ4 in capitals kept") << "C:/x/Reader2.MQ4" << "C:/x/Reader2.MQ4";
    QTest::newRow("version with a point gets .mq4") << "/home/u/.wine/MQL4/Scripts/NonLagMA_v7.1"
                                                    << "/home/u/.wine/MQL4/Scripts/NonLagMA_v7.1.mq4";
    QTest::newRow("blank and version point gets .mq4") << "C:/x/reader v2.1" << "C:/x/reader v2.1.mq4";
    QTest::newRow("point inside the name gets .mq4") << "C:/x/Super.Trend" << "C:/x/Super.Trend.mq4";
    QTest::newRow("another suffix gets .mq4 after it") << "C:/x/notes.txt" << "C:/x/notes.txt.mq4";
    QTest::newRow("point ending the name gets .mq4") << "C:/x/reader." << "C:/x/reader..mq4";
    QTest::newRow("no choice stays none") << "" << "";
}

void tst_Script::savedPath()
{
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(withScriptSuffix(chosen), saved);
}

void tst_Script::encoding_data()
{
    QTest::addColumn<QByteArray>("codePage"); // empty: not known, as on Linux
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("spelt"); // the name's bytes in the file, as its strings spell it; empty: UTF-16

    const QByteArray western("windows-1252"), thai("TIS-620"), unknown, utf16;
    QTest::newRow("ASCII name in 1252: as before") << western << "ZigZag" << QByteArray("ZigZag");
    QTest::newRow("accented name in 1252: as before") << western << QString::fromUtf8("Trendé") << QByteArray("Trend\xE9");
    QTest::newRow("Thai name in 874: as before") << thai << QString::fromUtf8("ราคา") << QByteArray("\xC3\xD2\xA4\xD2");
    QTest::newRow("Thai name in UTF-8: as before")
        << QByteArray("UTF-8") << QString::fromUtf8("ราคา") << QByteArray("\xE0\xB8\xA3\xE0\xB8\xB2\xE0\xB8\x84\xE0\xB8\xB2");
    QTest::newRow("Thai name in 1252: UTF-16") << western << QString::fromUtf8("ราคา") << utf16;
    QTest::newRow("Cyrillic name in 874: UTF-16") << thai << QString::fromUtf8("Индикатор") << utf16;
    QTest::newRow("Chinese name in 874: UTF-16") << thai << QString::fromUtf8("趋势指标") << utf16;
    QTest::newRow("beyond the 16-bit plane: surrogate pair kept whole") << thai << QString::fromUtf8("Trend📈") << utf16;
    QTest::newRow("lone surrogate, which UTF-8 cannot hold: UTF-16") << QByteArray("UTF-8") << QString(QChar(0xd800)) << utf16;
    QTest::newRow("points and a Market folder in 1252: as before")
        << western << "Market\\Super.Trend" << QByteArray("Market\\\\Super.Trend");
    QTest::newRow("Thai with points in a Market folder in 1252: UTF-16")
        << western << QString::fromUtf8("Market\\ราคา.v2") << utf16;
    QTest::newRow("ASCII name with points in a folder, code page not known: as before")
        << unknown << "Market\\Super.Trend" << QByteArray("Market\\\\Super.Trend");
    QTest::newRow("accented name, code page not known: UTF-16") << unknown << QString::fromUtf8("Trendé") << utf16;
    QTest::newRow("Thai name, code page not known: UTF-16") << unknown << QString::fromUtf8("ราคา") << utf16;
}

// The terminal reads a file without byte-order mark in its code page, one with FF FE as UTF-16 LE: each
// way it must read back the exact text.
void tst_Script::encoding()
{
    QFETCH(QByteArray, codePage);
    QFETCH(QString, name);
    QFETCH(QByteArray, spelt);

    QTextCodec *codec = codePage.isEmpty() ? nullptr : QTextCodec::codecForName(codePage);
    QVERIFY(codePage.isEmpty() || codec);
    const QString script = composeScript(name, QStringLiteral("1"), buffers({0, 2}));
    const QString text = QString(script).replace("\n", "\r\n");
    const QByteArray file = scriptFile(script, codec);
    QCOMPARE(file.startsWith("\xFF\xFE"), spelt.isEmpty());
    if (spelt.isEmpty()) {
        QCOMPARE(file.size(), 2 + 2 * text.size());
        QCOMPARE(QTextCodec::codecForName("UTF-16LE")->toUnicode(file.mid(2)), text);
    } else {
        // Every other byte is ASCII, the same in every code page.
        const QString ascii = composeScript(QStringLiteral("@"), QStringLiteral("1"), buffers({0, 2})).replace("\n", "\r\n");
        QCOMPARE(file, ascii.toLatin1().replace('@', spelt));
    }
}

void tst_Script::nameFitsString_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fits");

    QTest::newRow("plain name") << "ZigZag" << true;
    QTest::newRow("blanks, signs and Thai") << QString::fromUtf8("My Trend-2 (v3) ราคา") << true;
    QTest::newRow("quote and backslash, which are escaped") << "a\"b\\c" << true;
    QTest::newRow("empty name") << "" << true;
    QTest::newRow("line feed") << "Zig\nZag" << false;
    QTest::newRow("carriage return") << "Zig\rZag" << false;
    QTest::newRow("tab") << "Zig\tZag" << false;
    QTest::newRow("U+0001 at the start") << QString(QChar(0x01)) + "ZigZag" << false;
    QTest::newRow("U+001F at the end") << "ZigZag" + QString(QChar(0x1f)) << false;
    QTest::newRow("U+007F delete") << "Zig" + QString(QChar(0x7f)) + "Zag" << false;
    QTest::newRow("U+0085 next line") << "Zig" + QString(QChar(0x85)) + "Zag" << false;
    QTest::newRow("U+0000") << QString(QChar(0)) << false;
}

void tst_Script::nameFitsString()
{
    QFETCH(QString, name);
    QFETCH(bool, fits);
    QCOMPARE(fitsMql4String(name), fits);
}

void tst_Script::saveReplacesWholeFile_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<quint32>("heldWithSharing"); // 0: no other program holds the file
    QTest::addColumn<bool>("saved");

    const QString thai = QString::fromUtf8("สคริปต์ของฉัน");
    const QString deep = QString(QStringLiteral("a-folder-name-of-forty-characters-long-/")).repeated(7);
    QTest::newRow("plain folder") << "" << 0u << true;
    QTest::newRow("Thai-named folder") << thai << 0u << true;
    QTest::newRow("folder past 260 characters") << deep << 0u << true;
#ifdef Q_OS_WIN
    const quint32 asEditorsHoldFiles = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    QTest::newRow("held open, sharing read, write and delete") << "" << asEditorsHoldFiles << true;
    QTest::newRow("held open in a Thai-named folder") << thai << asEditorsHoldFiles << true;
    QTest::newRow("held open past 260 characters") << deep << asEditorsHoldFiles << true;
    QTest::newRow("held open, sharing read only: old file kept") << "" << quint32(FILE_SHARE_READ) << false;
    // No rename over it, but a rewrite in place.
    QTest::newRow("held open, sharing read and write, not delete")
        << "" << quint32(FILE_SHARE_READ | FILE_SHARE_WRITE) << true;
#endif
}

void tst_Script::saveReplacesWholeFile()
{
    QFETCH(QString, folder);
    QFETCH(quint32, heldWithSharing);
    QFETCH(bool, saved);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(folder.isEmpty() ? QStringLiteral(".") : folder));
    const QString inside = QDir(dir.path()).filePath(folder);
    const QString path = QDir(inside).filePath(QStringLiteral("old.mq4"));
    QVERIFY(path.size() > 260 || !folder.contains(QLatin1Char('/')));
    const QByteArray oldContent(5000, 'x');
    QVERIFY(writeFile(path, oldContent));

    bool result = false;
    {
#ifdef Q_OS_WIN
        // Another program holding the old script open; \\?\ lifts the 260-character limit.
        const QString native = QStringLiteral("\\\\?\\") + QDir::toNativeSeparators(path);
        const std::unique_ptr<void, decltype(&CloseHandle)> held(
            heldWithSharing == 0 ? nullptr : CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), GENERIC_READ,
                                                         heldWithSharing, nullptr, OPEN_EXISTING, 0, nullptr),
            &CloseHandle);
        QVERIFY(held.get() != INVALID_HANDLE_VALUE);
#else
        Q_UNUSED(heldWithSharing) // Linux has no share modes: nothing stops a rename
#endif
        result = saveScript(path, "short");
    }
    QCOMPARE(result, saved);
    QCOMPARE(readFile(path), saved ? QByteArray("short") : oldContent);
    QCOMPARE(QDir(inside).entryList(QDir::Files | QDir::Hidden), QStringList{"old.mq4"}); // no temporary left behind
}

void tst_Script::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("sizeLimit");

    QTest::newRow("folder does not exist") << "missing/x.mq4" << 0;
    QTest::newRow("path is a folder") << "folder" << 0;
    QTest::newRow("disk full part-way") << "old.mq4" << 100;
}

void tst_Script::failedSaveKeepsOldFile()
{
    QFETCH(QString, file);
    QFETCH(int, sizeLimit);

    if (sizeLimit > 0)
        QVERIFY2(DiskFull::available(), "no small volume to fill was lent to this run (the harness mounts one as root)");
    ScratchDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString old = dir.filePath(QStringLiteral("old.mq4"));
    const QByteArray oldContent("the trader's own script\r\n");
    QVERIFY(writeFile(old, oldContent));
    const QByteArray script = *encodeScript(composeScript("ZigZag", "1", ~BufferSet()), QTextCodec::codecForName("UTF-8"));

    bool saved = true;
    {
        std::optional<DiskFull> diskFull;
        if (sizeLimit > 0) {
            diskFull.emplace(dir.path(), sizeLimit);
            QVERIFY(diskFull->isFull());
        }
        saved = saveScript(dir.filePath(file), script);
    }
    QVERIFY(!saved);
    QCOMPARE(readFile(old), oldContent);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{"folder", "old.mq4"}));
}

#ifdef Q_OS_UNIX
void tst_Script::lockedFolder_data()
{
    QTest::addColumn<QByteArray>("oldContent");
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<bool>("saved");

    const QByteArray shortOld("// the trader's own script\n");
    QTest::newRow("save over a short file") << shortOld << 0 << true;
    QTest::newRow("save over a longer file cuts it to the script") << QByteArray(5000, 'x') << 0 << true;
    QTest::newRow("disk full part-way keeps the old file") << shortOld << 100 << false;
    QTest::newRow("disk full before the first byte keeps the old file") << shortOld << 27 << false;
    QTest::newRow("old file already past the limit stays whole") << QByteArray(300, 'x') << 100 << false;
    // The script is shorter than the old file, so the rewrite fails over the old bytes: they go back.
    QTest::newRow("rewrite fails over the first bytes: old bytes put back") << QByteArray(5000, 'x') << 300 << false;
}

// A folder where the user may replace a file but not create one beside it. Folder permissions bind only
// an ordinary user, so when the test runs as root the save runs in a child that has given up root.
void tst_Script::lockedFolder()
{
    QFETCH(QByteArray, oldContent);
    QFETCH(int, sizeLimit);
    QFETCH(bool, saved);

    const uid_t nobody = 65534;
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadOther | QFile::ExeOther));
    const QString folder = dir.filePath(QStringLiteral("locked"));
    const QString path = folder + QStringLiteral("/locked.mq4");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    QVERIFY(writeFile(path, oldContent));
    if (geteuid() == 0)
        QCOMPARE(chown(path.toLocal8Bit().constData(), nobody, nobody), 0);
    QCOMPARE(chmod(folder.toLocal8Bit().constData(), 0555), 0);
    const QByteArray script = *encodeScript(composeScript("ZigZag", "1", ~BufferSet()), QTextCodec::codecForName("UTF-8"));

    enum Outcome { Saved = 0, NotSaved = 1, FolderNotLocked = 2, CannotDropRoot = 3 };
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(CannotDropRoot);
        if (QFile probe(folder + QStringLiteral("/probe")); probe.open(QIODevice::WriteOnly))
            _exit(FolderNotLocked);
        std::optional<DiskFull> limit;
        if (sizeLimit > 0)
            limit.emplace(folder, rlim_t(sizeLimit));
        _exit(saveScript(path, script) ? Saved : NotSaved);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QVERIFY2(WEXITSTATUS(status) != FolderNotLocked, "the folder lets the saving user create files");
    QVERIFY2(WEXITSTATUS(status) != CannotDropRoot, "could not give up root");
    QCOMPARE(WEXITSTATUS(status) == Saved, saved);

    QCOMPARE(readFile(path), saved ? script : oldContent);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"locked.mq4"});
    QCOMPARE(chmod(folder.toLocal8Bit().constData(), 0755), 0);
}
#endif

QTEST_APPLESS_MAIN(tst_Script)
#include "tst_script.moc"
