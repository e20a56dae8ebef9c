#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <QDir>
#include <QStorageInfo>
#include <QTemporaryDir>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#endif

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

#ifdef Q_OS_WIN

// Windows has no per-process file size limit, so a full disk is a real one: the test harness lends
// each test program a small volume of its own and names a folder on it in BUFREX_SMALL_VOLUME.
// Scratch folders live there, so that a DiskFull can fill what they are on.
inline QString scratchBase()
{
    return qEnvironmentVariable("BUFREX_SMALL_VOLUME");
}

// While it lives, the volume holding `folder` is full to its last block, so every write that needs
// more room fails. It refuses any volume larger than the harness's, so as never to fill a real disk.
class DiskFull
{
public:
    explicit DiskFull(const QString &folder, qint64 /*bytes: a volume fills whole*/)
        : m_filler(folder + QStringLiteral("/disk-full.filler"))
    {
        const qint64 limit = 16 << 20;
        if (QStorageInfo(folder).bytesTotal() > limit || !m_filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        for (qint64 chunk = 64 << 10; chunk > 0; chunk /= 2) {
            const QByteArray bytes(int(chunk), 'f');
            while (m_filler.size() < limit && m_filler.write(bytes) == bytes.size()) {
            }
        }
        m_full = m_filler.size() < limit;
    }
    ~DiskFull()
    {
        m_filler.close();
        m_filler.remove();
    }
    static bool available() { return !scratchBase().isEmpty(); }
    bool isFull() const { return m_full; }

private:
    QFile m_filler;
    bool m_full = false;
};

#else

inline QString scratchBase()
{
    return QString();
}

// While it lives, every write past `bytes` into any file fails with EFBIG, as on a full disk. Unlike a
// read-only folder this holds for root too; the signal that would end the process is ignored.
class DiskFull
{
public:
    DiskFull(const QString & /*folder: every file is limited*/, rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~DiskFull()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    DiskFull(const DiskFull &) = delete;
    DiskFull &operator=(const DiskFull &) = delete;
    static bool available() { return true; }
    bool isFull() const { return true; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

#endif

// A temporary folder on which a DiskFull can strike.
class ScratchDir : public QTemporaryDir
{
public:
    ScratchDir()
        : QTemporaryDir(scratchBase().isEmpty() ? QDir::tempPath() + QStringLiteral("/bufrex-XXXXXX")
                                                : scratchBase() + QStringLiteral("/bufrex-XXXXXX"))
    {
    }
};
