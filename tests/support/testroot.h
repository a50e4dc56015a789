#pragma once

// Shared by the tests: a fresh emulated machine per case, edition files, child programs.
#include <QByteArray>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTimer>

#include <memory>

namespace TestSupport {

// A machine root of its own, in force (VX_SYSROOT) while the object lives.
class MachineRoot
{
public:
    MachineRoot()
    {
        previous = qgetenv("VX_SYSROOT");
        qputenv("VX_SYSROOT", dir.path().toLocal8Bit());
        qunsetenv("PROGRAMFILES");
    }
    ~MachineRoot() { qputenv("VX_SYSROOT", previous); }
    QString path() const { return dir.path(); }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VX_SYSROOT"), dir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("PROGRAMFILES"));
        return env;
    }

private:
    QTemporaryDir dir;
    QByteArray previous;
};

struct Edition
{
    QString exe = QStringLiteral("VantrixZMT.exe");
    QString name = QStringLiteral("渲染客户端");
    QString nameEN = QStringLiteral("Render Client");
    QString third;
    QString mark = QStringLiteral("vx");
    QString lang = QStringLiteral("zh_cn");
};

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// VX.ini as the maker ships it: GB2312, values quoted so commas survive.
inline void writeEditionFile(const QString &dir, const Edition &e)
{
    QTextCodec *gb = QTextCodec::codecForName("GB2312");
    auto line = [gb](const char *key, const QString &value) -> QByteArray {
        return QByteArray(key) + "=\"" + gb->fromUnicode(value) + "\"\r\n";
    };
    writeFile(dir + QStringLiteral("/VX.ini"),
              "[info]\r\n" + line("exe", e.exe) + line("name", e.name) + line("nameEN", e.nameEN)
                  + line("third", e.third) + line("mark", e.mark) + line("lang", e.lang));
}

// The registry store of the emulated machine, hive by hive.
inline std::unique_ptr<QSettings> hive(const QString &root, const QString &name)
{
    auto s = std::make_unique<QSettings>(root + QStringLiteral("/registry/") + name + QStringLiteral(".ini"),
                                         QSettings::IniFormat);
    s->setIniCodec("UTF-8");
    return s;
}

struct RunResult
{
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

namespace detail {

inline RunResult collect(QProcess &p, bool finished)
{
    RunResult r;
    r.finished = finished;
    if (!finished) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline void start(QProcess &p, const QString &program, const QStringList &args, const QProcessEnvironment &env,
                  const QString &workDir)
{
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    p.closeWriteChannel();
}

} // namespace detail

inline RunResult run(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                     const QString &workDir = QString(), int timeoutMs = 60000)
{
    QProcess p;
    detail::start(p, program, args, env, workDir);
    const bool finished = p.waitForFinished(timeoutMs);
    return detail::collect(p, finished);
}

// Like run, while this process's event loop keeps serving (fake services living in the test).
inline RunResult runServing(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                            const QString &workDir = QString(), int timeoutMs = 120000)
{
    QProcess p;
    QEventLoop loop;
    QObject::connect(&p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    detail::start(p, program, args, env, workDir);
    if (p.state() != QProcess::NotRunning)
        loop.exec();
    return detail::collect(p, p.state() == QProcess::NotRunning);
}

inline QString bin(const QString &program)
{
    return QStringLiteral(VX_BIN_DIR "/") + program;
}

inline QString testBin(const QString &program)
{
    return QStringLiteral(VX_TEST_BIN_DIR "/") + program;
}

} // namespace TestSupport
