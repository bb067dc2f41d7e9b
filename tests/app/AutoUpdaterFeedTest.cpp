#include "AutoUpdaterFeed.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using Answer = AutoUpdaterFeed::Answer;

namespace {

// A web server on the loopback that answers each request with the feed, or never when silent.
class FeedServer : public QTcpServer
{
    Q_OBJECT
public:
    QByteArray feed;
    bool silent = false;
    int requests = 0;

    FeedServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                auto received = std::make_shared<QByteArray>();
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                    *received += socket->readAll();
                    if (!received->contains("\r\n\r\n"))
                        return;
                    ++requests;
                    if (silent)
                        return;
                    socket->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: " +
                        QByteArray::number(feed.size()) + "\r\nConnection: close\r\n\r\n" + feed);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QByteArray url() const
    {
        return "http://127.0.0.1:" + QByteArray::number(serverPort()) +
               "/products/vantrel/updates.xml";
    }
};

QByteArray const Newer = R"(<?xml version="1.0"?>
<rss xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>
<item><enclosure url="a" sparkle:version="0.5.4"/></item>
<item><enclosure url="b" sparkle:version="0.10.0"/></item>
</channel></rss>)";

QMessageBox* shownBox()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            return box;
    return nullptr;
}

} // namespace

TEST(AutoUpdaterFeedTest, TheNewestVersionInTheFeedDecidesTheAnswer)
{
    struct Case
    {
        char const* what;
        QByteArray feed;
        bool silent;
        Answer answer;
    };
    Case const cases[] = {
        {"newer, by number not by text", Newer, false, Answer::Newer},
        {"the same, written longer", "<rss><item><version>0.5.5.0</version></item></rss>", false,
         Answer::UpToDate},
        {"not XML", "<rss><item><version>0.6</version>", false, Answer::Malformed},
        {"no version", "<rss><channel/></rss>", false, Answer::Malformed},
        {"not a version", "<rss><item><version>soon</version></item></rss>", false,
         Answer::Malformed},
        {"no answer", "", true, Answer::NoAnswer},
    };
    for (Case const& c : cases) {
        FeedServer server;
        server.feed = c.feed;
        server.silent = c.silent;
        AutoUpdaterFeed updater(server.url().constData(), "0.5.5");
        updater.setTimeout(c.silent ? 300 : 30000);
        QSignalSpy answered(&updater, &AutoUpdaterFeed::answered);
        updater.checkForUpdates();
        ASSERT_TRUE(answered.wait(30000)) << c.what;
        EXPECT_EQ(updater.lastAnswer(), c.answer) << c.what;
        EXPECT_EQ(shownBox(), nullptr) << "a check at start shows nothing";
    }
}

TEST(AutoUpdaterFeedTest, ACheckAskedForShowsItsAnswerAndOnePendingCanBeDropped)
{
    FeedServer server;
    server.silent = true;
    auto pending = std::make_unique<AutoUpdaterFeed>(server.url().constData(), "0.5.5");
    pending->checkForUpdatesAndShow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests == 1; }, 30000));
    pending.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(shownBox(), nullptr);

    server.silent = false;
    server.feed = Newer;
    AutoUpdaterFeed updater(server.url().constData(), "0.5.5");
    QSignalSpy answered(&updater, &AutoUpdaterFeed::answered);
    updater.checkForUpdatesAndShow();
    ASSERT_TRUE(answered.wait(30000));
    QMessageBox* box = shownBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Vantrel 0.10.0 is available. This is version 0.5.5.");
    EXPECT_FALSE(box->isModal());
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

#include "AutoUpdaterFeedTest.moc"
