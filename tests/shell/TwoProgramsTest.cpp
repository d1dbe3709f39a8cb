// The designer started twice, as two real processes with one profile: the
// second start hands over to the running one and ends at once; a program
// that was killed leaves nothing that stops the next start.
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TwoProgramsTest : public ::testing::Test
{
protected:
    TwoProgramsTest()
    {
        env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.path());
        env.insert("TMPDIR", home.path()); // where the running program listens
        env.insert("TABREL_HOME", home.path());
        env.insert("TABREL_DEFAULT_PRINTER", "Tabrel PDF");
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    ~TwoProgramsTest() override
    {
        for (QProcess* p : {&first, &second, &third}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    void Launch(QProcess& process, const QStringList& arguments)
    {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(TABREL_PROGRAM_DIR "/tabrel"), arguments);
        ASSERT_TRUE(process.waitForStarted(10000)) << process.errorString().toStdString();
    }
    // Whether a running designer answers later starts: a socket left by a
    // program that was killed is there but takes no connection.
    bool Listening() const
    {
        for (const QString& name :
             QDir(home.path()).entryList({"Corvane-Tabrel-*"}, QDir::System)) {
            QLocalSocket socket;
            socket.connectToServer(home.filePath(name));
            if (socket.waitForConnected(5000)) {
                socket.abort();
                return true;
            }
        }
        return false;
    }
    // Until the program answers, or has ended.
    bool WaitUntilListening(QProcess& process) const
    {
        for (int i = 0; i < 1200; ++i) {
            if (Listening())
                return true;
            if (process.state() == QProcess::NotRunning || process.waitForFinished(50))
                return false;
        }
        return false;
    }

    QTemporaryDir home;
    QProcessEnvironment env;
    QProcess first, second, third;
};

} // namespace

TEST_F(TwoProgramsTest, ASecondStartHandsOverAndEnds)
{
    ASSERT_TRUE(home.isValid());
    Launch(first, {"/nosplash"});
    ASSERT_TRUE(WaitUntilListening(first)) << "the first start never listened";

    Launch(second, {"/nosplash", home.filePath("other.sgn")});
    ASSERT_TRUE(second.waitForFinished(15000)) << "the second start kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    // The first one runs on and still answers.
    EXPECT_TRUE(Listening());
    EXPECT_EQ(first.state(), QProcess::Running);

    // Killed, it leaves its socket behind, which answers nobody; the next
    // start takes over and answers in its place.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(5000));
    ASSERT_FALSE(QDir(home.path()).entryList({"Corvane-Tabrel-*"}, QDir::System).isEmpty());
    EXPECT_FALSE(Listening());
    Launch(third, {"/nosplash"});
    ASSERT_TRUE(WaitUntilListening(third)) << "a stale socket ended the next start";
    EXPECT_EQ(third.state(), QProcess::Running);
    third.terminate();
    third.waitForFinished(5000);
}
