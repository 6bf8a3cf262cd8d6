// Two computers, one record book: program copies A and B, each with its own program
// folder, kept in step by two Syncthing instances that talk only to each other on
// 127.0.0.1. Every wait polls with a deadline.

#include <gtest/gtest.h>

#include <QtNetwork>
#include <QtTest/QTest>
#include <QtWidgets>

#include "core/sync_conflicts.h"
#include "support/fakes.h"
#include "support/temp_program.h"
#include "support/windows.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

constexpr int kSyncDeadlineMs = 60000;

bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, kSyncDeadlineMs); }

quint16 freePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

// One Syncthing instance with its own home, sharing `folder` with one other device.
class Syncthing {
 public:
  explicit Syncthing(const QString& folder) : folder_(folder) {
    QProcess generate;
    generate.setProcessChannelMode(QProcess::MergedChannels);
    generate.start(u"syncthing"_s, {u"generate"_s, u"--home="_s + home_.path(),
                                    u"--no-default-folder"_s, u"--skip-port-probing"_s});
    generate.waitForFinished(30000);
    const QString out = QString::fromUtf8(generate.readAll());
    id = QRegularExpression(u"Device ID: (\\S+)"_s).match(out).captured(1);
    listenPort = freePort();
    guiPort = freePort();
    QDir(folder).mkpath(u".stfolder"_s);  // the folder marker Syncthing expects
  }
  ~Syncthing() {
    process_.terminate();
    if (!process_.waitForFinished(10000)) process_.kill();
    process_.waitForFinished(5000);
  }
  void start(const Syncthing& other) {
    const QString device =
        uR"(<device id="%1" name="%2" compression="metadata">
    <address>tcp://127.0.0.1:%3</address></device>)"_s;
    const QString config =
        uR"(<configuration version="36">
  <folder id="velnor" label="velnor" path="%1" type="sendreceive" rescanIntervalS="60"
      fsWatcherEnabled="true" fsWatcherDelayS="1">
    <device id="%2"></device><device id="%3"></device>
    <maxConflicts>-1</maxConflicts>
  </folder>
  %4
  %5
  <gui enabled="true" tls="false"><address>127.0.0.1:%6</address><apikey>%7</apikey></gui>
  <options>
    <listenAddress>tcp://127.0.0.1:%8</listenAddress>
    <globalAnnounceEnabled>false</globalAnnounceEnabled>
    <localAnnounceEnabled>false</localAnnounceEnabled>
    <relaysEnabled>false</relaysEnabled>
    <natEnabled>false</natEnabled>
    <urAccepted>-1</urAccepted>
    <startBrowser>false</startBrowser>
    <crashReportingEnabled>false</crashReportingEnabled>
    <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
    <reconnectionIntervalS>1</reconnectionIntervalS>
  </options>
</configuration>
)"_s.arg(folder_, id, other.id, device.arg(id, u"A"_s).arg(listenPort),
         device.arg(other.id, u"B"_s).arg(other.listenPort))
            .arg(guiPort)
            .arg(kApiKey)
            .arg(listenPort);
    QFile file(home_.path() + u"/config.xml"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(config.toUtf8());
    file.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"STNOUPGRADE"_s, u"1"_s);
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(home_.path() + u"/log.txt"_s);
    process_.start(u"syncthing"_s, {u"serve"_s, u"--home="_s + home_.path(), u"--no-browser"_s,
                                    u"--no-restart"_s, u"--no-upgrade"_s});
    ASSERT_TRUE(process_.waitForStarted(10000));
  }
  // A call of the REST API; nothing when it failed.
  std::optional<QByteArray> rest(const QByteArray& verb, const QString& path,
                                 const QByteArray& body = {}, int ms = 30000) const {
    QNetworkAccessManager net;
    QNetworkRequest request(QUrl(u"http://127.0.0.1:%1%2"_s.arg(guiPort).arg(path)));
    request.setRawHeader("X-API-Key", kApiKey.toUtf8());
    request.setTransferTimeout(ms);
    request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json"_s);
    QNetworkReply* reply = net.sendCustomRequest(request, verb, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) return std::nullopt;
    return reply->readAll();
  }
  bool connectedTo(const Syncthing& other) const {
    const QJsonObject all =
        QJsonDocument::fromJson(rest("GET", u"/rest/system/connections"_s).value_or(""))
            .object()[u"connections"_s]
            .toObject();
    return all[other.id].toObject()[u"connected"_s].toBool();
  }
  // While the folder is paused, nothing is exchanged, but the connection stays up.
  bool pauseFolder(bool paused) const {
    return rest("PATCH", u"/rest/config/folders/velnor"_s,
                paused ? R"({"paused":true})" : R"({"paused":false})")
        .has_value();
  }
  QString log() const {
    QFile f(home_.path() + u"/log.txt"_s);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(4000)) : QString();
  }

  QString id;
  quint16 listenPort = 0, guiPort = 0;

 private:
  inline static const QString kApiKey = u"velnor-test-api-key"_s;
  QTemporaryDir home_;
  QString folder_;
  QProcess process_;
};

class TwoComputers : public ::testing::Test {
 protected:
  void SetUp() override {
    a.useFolder(u"記録"_s,
                {TempProgram::record(u"北"_s, u"藤井"_s, {u"1/5"_s}),
                 TempProgram::record(u"南"_s, u"Aoki"_s), TempProgram::record(u"東"_s, u"上田"_s)});
    ASSERT_TRUE(a.m->SaveSettings());
    b.m->CurrentFolder = a.m->CurrentFolder;
    b.m->IndexFilePath = b.m->indexPathFor(b.m->CurrentFolder);
    // B listens before A dials it, so that the first dial connects (a failed one is tried
    // again only after 20 seconds).
    syncB.start(syncA);
    ASSERT_TRUE(waitFor([&] { return syncB.rest("GET", u"/rest/system/ping"_s).has_value(); }));
    syncA.start(syncB);
    ASSERT_TRUE(waitFor([&] { return syncA.connectedTo(syncB); })) << syncA.log().toStdString();
    ASSERT_TRUE(waitFor([&] { return b.readBytes(index) == a.readBytes(index); }))
        << syncB.log().toStdString();
  }
  void TearDown() override {
    closeQuietly(inputB, *b.m);
    windowA.reset();
    windowB.reset();
  }
  QStringList records(const TempProgram& p) const {
    return decodeCp932(p.readBytes(index)).split(u"\r\n"_s).filter(u"*"_s);
  }
  QStringList copiesIn(const TempProgram& p) const {
    return findConflictCopies(p.path(a.m->CurrentFolder));
  }
  // Both sides have the same index file and no conflict copy is left in the folder.
  bool settled() const {
    return copiesIn(a).isEmpty() && copiesIn(b).isEmpty() &&
           a.readBytes(index) == b.readBytes(index);
  }

  TempProgram a, b;
  FakeShell &shellA = a.shell, &shellB = b.shell;
  Syncthing syncA{a.path()}, syncB{b.path()};
  std::unique_ptr<Form1> windowA, windowB;
  QPointer<Form3> inputA, inputB;
  const QString index = u"%記録/データー.vrd"_s;
};

TEST_F(TwoComputers, anEditStoredOnOneShowsInTheOtherOnesOpenWindow) {
  openInputScreenInto(inputB, *b.m, shellB);
  b.m->InputScreenOpen = true;
  ASSERT_TRUE(b.m->SaveSettings());
  windowB = startMainWindow(*b.m);
  ASSERT_TRUE(inputB);
  ASSERT_TRUE(a.store(0, 2, u"2/2"_s));
  EXPECT_TRUE(waitFor([&] { return inputB->text1(2) == u"2/2"_s; })) << syncB.log().toStdString();
  EXPECT_EQ(b.readBytes(index), a.readBytes(index));
  EXPECT_TRUE(shellB.messages.isEmpty());
}

// Both computers store at once while they cannot reach each other; when they can, the
// sync tool keeps one index file as a conflict copy, which A's open window merges.
TEST_F(TwoComputers, simultaneousStoresOfTwoPeopleAndOfOnePersonAllSurvive) {
  // A's merge window is answered with its choices as offered (both sides kept).
  int answers = 0;
  const auto answerer = answerMergeWindows(true, answers);
  windowA = startMainWindow(*a.m);
  ASSERT_TRUE(syncA.pauseFolder(true) && syncB.pauseFolder(true));
  ASSERT_TRUE(a.store(1, 3, u"3/3"_s));  // Aoki on A
  ASSERT_TRUE(b.store(2, 4, u"4/4"_s));  // 上田 on B
  ASSERT_TRUE(a.store(0, 2, u"2/2"_s));  // 藤井 on both, each another month
  ASSERT_TRUE(b.store(0, 5, u"5/5"_s));
  ASSERT_TRUE(syncA.pauseFolder(false) && syncB.pauseFolder(false));

  ASSERT_TRUE(waitFor([&] { return shellA.titles().contains(u"同期の衝突"_s); }))
      << syncA.log().toStdString();
  ASSERT_TRUE(waitFor([&] { return settled(); })) << syncB.log().toStdString();
  EXPECT_EQ(
      records(b),
      (QStringList{TempProgram::record(u"北"_s, u"藤井"_s, {u"1/5"_s, u"2/2"_s, {}, {}, u"5/5"_s}),
                   TempProgram::record(u"南"_s, u"Aoki"_s, {{}, {}, u"3/3"_s}),
                   TempProgram::record(u"東"_s, u"上田"_s, {{}, {}, {}, u"4/4"_s})}));
  // The copy is kept with the backups, on both computers.
  EXPECT_FALSE(QDir(a.path(u"バックアップ/%記録/衝突"_s)).isEmpty());
  EXPECT_TRUE(waitFor([&] { return !QDir(b.path(u"バックアップ/%記録/衝突"_s)).isEmpty(); }));
}

}  // namespace
}  // namespace velnor::test
