// The network output dialog (the controllers of the .net file beside the line file in use, their
// channel and universe counts and the description's warnings) and the main window's live output.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "AppTestSupport.h"
#include "app/net/LiveOutput.h"
#include "app/net/NetworkFilePath.h"
#include "app/net/NetworkOutputDialog.h"
#include "app/net/TestPatternPlayer.h"
#include "app/design/CDesignFrame.h"
#include "app/sculpt/CSculptFrame.h"
#include "app/sculpt/SculptCommands.h"
#include "net/ChannelLayout.h"
#include "net/NetworkFile.h"

using namespace corv;
using corv::testing::Command;
using corv::testing::StartedWorkspace;

namespace {

// A 4 x 100 grid: line 1 the first two rows (200 LEDs), line 2 ten LEDs of the third row; the
// lamp type RGB (three channels an LED).
void TwoLines(Workspace& ws) {
    ws.layout.New(4, 100, false, 3);
    for (int c = 0; c < 100; ++c) ws.layout.lines[0].push_back(MakePoint(0, c));
    for (int c = 0; c < 100; ++c) ws.layout.lines[0].push_back(MakePoint(1, c));
    for (int c = 0; c < 10; ++c) ws.layout.lines[1].push_back(MakePoint(2, c));
    ws.layout.occupancy.Rebuild(ws.layout.grid, ws.layout.lines);
    ws.layout.RecomputeLineCount();
}

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Closes the next message box that shows and hands back its text.
struct MessageBoxCatcher {
    QString text;
    bool seen = false;
    QTimer timer;
    MessageBoxCatcher() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                seen = true;
                timer.stop();
                box->accept();
            }
        });
        timer.start();
    }
};

// A UDP socket on 127.0.0.1 and a free port, for the DDP packets of the live output.
struct UdpListener {
    int fd = -1;
    std::uint16_t port = 0;
    UdpListener() {
        fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return;
        socklen_t size = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
        port = ntohs(a.sin_port);
    }
    ~UdpListener() {
        if (fd >= 0) ::close(fd);
    }
    // The next datagram, the window's events handled while waiting (at most 5 s).
    std::optional<std::vector<std::uint8_t>> Next() {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            QCoreApplication::processEvents();
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) == 1) {
                std::vector<std::uint8_t> datagram(2048);
                const ssize_t n = ::recv(fd, datagram.data(), datagram.size(), 0);
                if (n < 0) return std::nullopt;
                datagram.resize(static_cast<std::size_t>(n));
                return datagram;
            }
        }
        return std::nullopt;
    }
    // Drops what came so far.
    void Drain() {
        std::vector<std::uint8_t> datagram(2048);
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, 50) == 1) ::recv(fd, datagram.data(), datagram.size(), 0);
    }
};

// A description of one DDP controller `c` on 127.0.0.1:`port` driving lines 1 and 2, written
// to `file`; false when it could not be written.
bool WriteDdpDescription(const std::filesystem::path& file, std::uint16_t port, net::NetController& c) {
    net::NetworkDescription d;
    c = {};
    c.protocol = net::Protocol::Ddp;
    c.address = "127.0.0.1";
    c.port = port;
    c.lines = {1, 2};
    d.controllers.push_back(c);
    return net::WriteNetworkFile(file, d).ok();
}

}  // namespace

class NetworkDialogTest : public QObject {
    Q_OBJECT

private slots:
    void networkFileIsBesideTheLineFileInUse() {
        QCOMPARE(NetworkFileOf("/data/shop.lnf"), std::filesystem::path("/data/shop.net"));
        QVERIFY(NetworkFileOf({}).empty());
        StartedWorkspace s;
        QVERIFY(s.ok);
        s.ws.lineFilePath = "/data/front.lnf";
        QCOMPARE(NetworkFileInUse(s.ws), std::filesystem::path("/data/front.net"));
        // Lines that came from no file: no line file is in use.
        s.ws.lineFilePath.clear();
        s.ws.app.lineFile = "/data/old.lnf";
        TwoLines(s.ws);
        QVERIFY(NetworkFileInUse(s.ws).empty());
    }

    void addsControllersCountsThemAndWritesTheFile() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        TwoLines(s.ws);
        TempDir dir;
        const std::filesystem::path file = dir.path() / "shop.net";
        NetworkOutputDialog dialog(s.ws, file);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Network output"));
        QCOMPARE(dialog.controllerCount(), 0);
        QVERIFY(!dialog.removeButton()->isEnabled());

        // A new controller drives the lines no other one drives: both, 630 channels.
        QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
        QCOMPARE(dialog.controllerCount(), 1);
        QCOMPARE(dialog.linesEdit(0)->text(), QStringLiteral("1-2"));
        QCOMPARE(dialog.protocolBox(0)->currentText(), QStringLiteral("e131"));
        QCOMPARE(dialog.portBox(0)->value(), 5568);
        QCOMPARE(dialog.channelsText(0), QStringLiteral("630"));
        QCOMPARE(dialog.universesText(0), QStringLiteral("2"));  // 510 + 120
        dialog.addressEdit(0)->setText(QStringLiteral("127.0.0.1"));
        dialog.universeBox(0)->setValue(5);
        dialog.channelsPerUniverseBox(0)->setValue(170);
        QCOMPARE(dialog.universesText(0), QStringLiteral("4"));  // 3 x 170 + 120
        dialog.channelsPerUniverseBox(0)->setValue(510);
        dialog.lineStartsUniverseBox(0)->setChecked(true);
        QCOMPARE(dialog.universesText(0), QStringLiteral("3"));  // line 1: 510 + 90, line 2: 30
        dialog.priorityBox(0)->setValue(150);
        dialog.sourceNameEdit(0)->setText(QStringLiteral("Shop front"));
        dialog.syncBox(0)->setChecked(true);
        QVERIFY(dialog.warnings().isEmpty());
        QVERIFY(dialog.totalsLabel()->text().contains(QStringLiteral("630 channels")));
        QVERIFY(dialog.totalsLabel()->text().contains(QStringLiteral("3 universes")));

        // A second one: no line is left for it, which the dialog says.
        QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
        QCOMPARE(dialog.controllerCount(), 2);
        QCOMPARE(dialog.linesEdit(1)->text(), QString());
        QCOMPARE(dialog.channelsText(1), QStringLiteral("-"));
        QCOMPARE(dialog.warnings().size(), 1);
        QVERIFY2(dialog.warnings().front().startsWith(QStringLiteral("[Controller2]: ")),
                 qPrintable(dialog.warnings().front()));
        // DDP to line 2: its port follows the protocol, it has no universes and no multicast.
        dialog.protocolBox(1)->setCurrentIndex(dialog.protocolBox(1)->findText(QStringLiteral("ddp")));
        QCOMPARE(dialog.portBox(1)->value(), 4048);
        QVERIFY(!dialog.multicastBox(1)->isEnabled());
        QVERIFY(!dialog.universeBox(1)->isEnabled());
        QVERIFY(!dialog.priorityBox(1)->isEnabled());
        dialog.addressEdit(1)->setText(QStringLiteral("127.0.0.1"));
        dialog.linesEdit(1)->setText(QStringLiteral("2"));
        QCOMPARE(dialog.channelsText(1), QStringLiteral("30"));
        QCOMPARE(dialog.universesText(1), QStringLiteral("-"));
        // Line 2 is driven twice: the description's warning shows.
        const auto expected = net::DescriptionWarnings(dialog.description(), s.ws.app.language);
        QCOMPARE(expected.size(), std::size_t{1});
        QCOMPARE(dialog.warnings(), QStringList{QString::fromStdString(expected.front())});
        QVERIFY(dialog.warnings().front().contains(QStringLiteral("[Controller1]")));
        QVERIFY(dialog.warnings().front().contains(QStringLiteral("[Controller2]")));
        QCOMPARE(dialog.warningsLabel()->text(), dialog.warnings().front());
        QVERIFY(dialog.totalsLabel()->text().contains(QStringLiteral("660 channels")));

        // A third one, removed again.
        QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
        QCOMPARE(dialog.controllerCount(), 3);
        dialog.table()->setCurrentCell(2, 0);
        QTest::mouseClick(dialog.removeButton(), Qt::LeftButton);
        QCOMPARE(dialog.controllerCount(), 2);

        // OK writes the file.
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        auto read = net::ReadNetworkFile(file, s.ws.app.language);
        QVERIFY2(read.ok(), read.message().c_str());
        QCOMPARE(read->controllers.size(), std::size_t{2});
        const net::NetController& a = read->controllers[0];
        QCOMPARE(a.protocol, net::Protocol::E131);
        QCOMPARE(a.address, std::string("127.0.0.1"));
        QCOMPARE(int(a.port), 5568);
        QCOMPARE(a.lines, (std::vector<int>{1, 2}));
        QCOMPARE(a.universe, 5);
        QCOMPARE(a.channelsPerUniverse, 510);
        QVERIFY(a.lineStartsUniverse);
        QCOMPARE(a.priority, 150);
        QCOMPARE(a.sourceName, std::string("Shop front"));
        QVERIFY(a.sync);
        QVERIFY(!a.multicast);
        const net::NetController& b = read->controllers[1];
        QCOMPARE(b.protocol, net::Protocol::Ddp);
        QCOMPARE(int(b.port), 4048);
        QCOMPARE(b.lines, std::vector<int>{2});
        QVERIFY(Bytes(file).find("[Controller2]") != std::string::npos);

        // Opened again, the dialog shows what the file holds; Cancel keeps the file.
        const std::string before = Bytes(file);
        NetworkOutputDialog again(s.ws, file);
        QCOMPARE(again.controllerCount(), 2);
        QCOMPARE(again.linesEdit(0)->text(), QStringLiteral("1-2"));
        QCOMPARE(again.universeBox(0)->value(), 5);
        QCOMPARE(again.protocolBox(1)->currentText(), QStringLiteral("ddp"));
        QCOMPARE(again.universesText(0), QStringLiteral("3"));
        again.addressEdit(0)->setText(QStringLiteral("10.0.0.9"));
        again.reject();
        QCOMPARE(Bytes(file), before);
    }

    void refusalsKeepTheDialogOpen() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        TwoLines(s.ws);
        TempDir dir;
        const std::filesystem::path file = dir.path() / "shop.net";
        NetworkOutputDialog dialog(s.ws, file);
        dialog.show();
        dialog.AddController();
        // Lines that do not read.
        dialog.linesEdit(0)->setText(QStringLiteral("3-1"));
        QCOMPARE(dialog.channelsText(0), QStringLiteral("-"));
        QCOMPARE(dialog.warnings().size(), 1);
        {
            MessageBoxCatcher box;
            dialog.accept();
            QVERIFY(box.seen);
            QVERIFY2(box.text.contains(QStringLiteral("[Controller1]")), qPrintable(box.text));
        }
        QVERIFY(dialog.isVisible());
        QVERIFY(!std::filesystem::exists(file));
        // An address that is not one: the file is not written, the message names it and why.
        dialog.linesEdit(0)->setText(QStringLiteral("1"));
        dialog.addressEdit(0)->setText(QStringLiteral("300.1.1.1"));
        {
            MessageBoxCatcher box;
            dialog.accept();
            QVERIFY(box.seen);
            QVERIFY2(box.text.contains(QString::fromStdString(file.string())), qPrintable(box.text));
            QVERIFY2(box.text.contains(QStringLiteral("Address")), qPrintable(box.text));
        }
        QVERIFY(dialog.isVisible());
        QVERIFY(!std::filesystem::exists(file));

        // A file that does not read: the dialog starts empty and says so.
        {
            std::ofstream(file) << "[Lamp]\nProtocol=e131\n";
        }
        NetworkOutputDialog broken(s.ws, file);
        QCOMPARE(broken.controllerCount(), 0);
        QCOMPARE(broken.warnings().size(), 1);
        QVERIFY2(broken.warnings().front().contains(QStringLiteral("Lamp")), qPrintable(broken.warnings().front()));
    }

    void chineseTexts() {
        StartedWorkspace s("zh_CN.UTF-8");
        QVERIFY(s.ok);
        TempDir dir;
        NetworkOutputDialog dialog(s.ws, dir.path() / "a.net");
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("网络输出"));
        CMainFrame frame(s.ws, s.prompt);
        QCOMPARE(Command(frame, cmd::kLiveOutput)->text(), QString::fromUtf8("实时输出"));
        QCOMPARE(Command(frame, cmd::kNetworkOutput)->text(), QString::fromUtf8("网络输出..."));
    }

    void liveOutputSendsTheFrameShown() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        TwoLines(s.ws);
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(100, 4);
        auto& frames = s.ws.frames.CurrentFrames();
        frames.assign({Frame::Filled(100, 4, 200, 100, 50), Frame::Filled(100, 4, 10, 20, 30)});
        s.ws.app.currentFrame = 0;
        TempDir dir;
        CMainFrame frame(s.ws, s.prompt);
        QAction* live = Command(frame, cmd::kLiveOutput);
        QVERIFY(live && live->isCheckable());
        QVERIFY(Command(frame, cmd::kNetworkOutput));
        auto* button = frame.findChild<QToolButton*>(QStringLiteral("liveOutput"));
        QVERIFY(button && button->defaultAction() == live);

        // No line file in use: refused, unchecked.
        live->trigger();
        QVERIFY(!live->isChecked());
        QVERIFY(!frame.liveOutputOn());
        QVERIFY(!s.prompt.messages().empty());
        QVERIFY2(QString::fromStdString(s.prompt.messages().back()).contains(QStringLiteral("No line file")),
                 s.prompt.messages().back().c_str());
        // A line file without its network description: refused, naming the file.
        s.ws.lineFilePath = dir.path() / "shop.lnf";
        live->trigger();
        QVERIFY(!live->isChecked());
        QVERIFY(QString::fromStdString(s.prompt.messages().back()).contains(QStringLiteral("shop.net")));

        // A DDP controller on 127.0.0.1: the frame shown goes out, then the next one.
        UdpListener listener;
        QVERIFY(listener.port != 0);
        net::NetController c;
        QVERIFY(WriteDdpDescription(dir.path() / "shop.net", listener.port, c));
        button->click();
        QVERIFY(live->isChecked());
        QVERIFY(frame.liveOutputOn());
        const auto levels = net::BuildOutputLevels(s.ws.layout.setting);
        auto layout = net::ChannelLayout::Build(s.ws.layout, s.ws.lampTypes, levels, c, FrameShape{4, 100});
        QVERIFY(layout.ok());
        for (int shown : {0, 1}) {
            if (shown == 1) {
                listener.Drain();
                frame.FrameNumberShown(2);
            }
            auto datagram = listener.Next();
            QVERIFY(datagram);
            QCOMPARE(datagram->size(), std::size_t{10 + 630});
            QCOMPARE((*datagram)[0] & 0xC0, 0x40);  // version 1
            QCOMPARE((*datagram)[0] & 0x01, 0x01);  // pushed: the frame's only packet
            std::vector<std::uint8_t> channels;
            layout->Fill(frames[static_cast<std::size_t>(shown)], channels);
            QVERIFY(std::equal(channels.begin(), channels.end(), datagram->begin() + 10));
        }
        // Off: the sender stops and says what it sent.
        live->trigger();
        QVERIFY(!live->isChecked());
        QVERIFY(!frame.liveOutputOn());
        QVERIFY(frame.statusBar()->currentMessage().contains(QStringLiteral("Live output stopped")));
    }

    void sculptPatternsAndTheDesignsPlayGoLive() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        TwoLines(s.ws);
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(100, 4);
        s.ws.frames.CurrentFrames().assign({Frame::Filled(100, 4, 200, 100, 50)});
        s.ws.app.currentFrame = 0;
        TempDir dir;
        s.ws.lineFilePath = dir.path() / "shop.lnf";
        UdpListener listener;
        QVERIFY(listener.port != 0);
        net::NetController c;
        QVERIFY(WriteDdpDescription(dir.path() / "shop.net", listener.port, c));
        CMainFrame frame(s.ws, s.prompt);
        CSculptFrame* sculpt = frame.sculptFrame();
        QAction* stop = sculpt->action(sculpt::kStopPattern);
        QVERIFY(stop && !stop->isEnabled());

        // "Each line in its colour" starts the live output by itself: line 1 red with its
        // first LED white, line 2 (channels from 600) green with its first LED white.
        QAction* lines = sculpt->action(sculpt::kFirstPattern + static_cast<int>(net::TestPattern::Lines));
        QVERIFY(lines);
        lines->trigger();
        QVERIFY(frame.liveOutputOn());
        QVERIFY(lines->isChecked() && stop->isEnabled());
        auto datagram = listener.Next();
        QVERIFY(datagram);
        QCOMPARE(datagram->size(), std::size_t{10 + 630});
        const std::uint8_t* ch = datagram->data() + 10;
        const std::vector<std::uint8_t> line1(ch, ch + 6), line2(ch + 600, ch + 606);
        QCOMPARE(line1, (std::vector<std::uint8_t>{255, 255, 255, 255, 0, 0}));
        QCOMPARE(line2, (std::vector<std::uint8_t>{255, 255, 255, 0, 255, 0}));
        QCOMPARE(int(ch[597]), 255);  // the last LED of line 1: red
        // The pattern keeps going out at its rate (the keep-alive alone would send once a second).
        listener.Drain();
        QElapsedTimer clock;
        clock.start();
        int received = 0;
        while (clock.elapsed() < 400 && listener.Next()) ++received;
        QVERIFY2(received >= 5, std::to_string(received).c_str());
        // Another pattern replaces it: all white.
        sculpt->PlayTestPattern(net::TestPattern::White);
        QVERIFY(!lines->isChecked());
        listener.Drain();
        datagram = listener.Next();
        QVERIFY(datagram);
        QVERIFY(std::all_of(datagram->begin() + 10, datagram->end(), [](std::uint8_t v) { return v == 255; }));

        // Stopped: the frame view's frame goes out again (red 200, green 100, blue 50).
        stop->trigger();
        QVERIFY(!stop->isEnabled() && !sculpt->testPatterns()->running());
        listener.Drain();
        frame.FrameNumberShown(1);
        datagram = listener.Next();
        QVERIFY(datagram);
        QCOMPARE(int((*datagram)[10]), 200);
        QCOMPARE(int((*datagram)[11]), 100);
        QCOMPARE(int((*datagram)[12]), 50);

        // The design's play sends its frames at the play rate while live output is on.
        CDesignFrame* design = frame.designFrame();
        listener.Drain();
        design->Play();
        clock.restart();
        received = 0;
        while (clock.elapsed() < 500) {
            auto next = listener.Next();
            if (!next) break;
            QCOMPARE(next->size(), std::size_t{10 + 630});
            ++received;
        }
        design->Stop();
        QVERIFY2(received >= 5, std::to_string(received).c_str());
        frame.SetLiveOutput(false);
    }
};

QTEST_MAIN(NetworkDialogTest)
#include "NetworkDialogTest.moc"
