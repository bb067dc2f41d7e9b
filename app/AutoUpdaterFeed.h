#pragma once

#include "AutoUpdater.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

// The update check against a feed published on the maker's web host: one asynchronous request,
// with a timeout, whose answer compares the newest version in the feed with the program's own.
//
// The feed is XML (an RSS channel, say) in which each published release names its version, in a
// "version" element or in a "version" attribute, of any namespace prefix. Versions are numbers
// separated by dots; missing trailing numbers count as 0.
//
// The checker may be deleted while a request is pending: the request is dropped and nothing is
// reported.
class AutoUpdaterFeed : public QObject, public AutoUpdater
{
    Q_OBJECT

public:
    enum class Answer
    {
        None,      // no check has finished yet
        Newer,     // the feed names a newer version
        UpToDate,  // the newest in the feed is this version, or an older one
        Malformed, // the server answered with something that is no feed of versions
        NoAnswer,  // no network, no server, an error status, or no answer within the timeout
    };
    Q_ENUM(Answer)

    // The program's version is the application's unless one is given.
    explicit AutoUpdaterFeed(char const* feedUrl, char const* currentVersion = nullptr);
    ~AutoUpdaterFeed() override;

    void checkForUpdates() override;
    void checkForUpdatesAndShow() override;

    // How long a request may go without a byte from the server.
    void setTimeout(int milliseconds) { myTimeoutMs = milliseconds; }
    bool isChecking() const { return myReply != nullptr; }
    Answer lastAnswer() const { return myAnswer; }
    // The newest version the feed named, when it was read.
    QString const& lastNewest() const { return myNewest; }
    // The answer as the user reads it.
    QString answerText() const;

    // The newest version a feed names; empty when the text is not well-formed XML, names no
    // version, or names one that is not a version.
    static QString newestVersionIn(QByteArray const& feed);
    // Negative, zero or positive as a is older than, the same as, or newer than b.
    static int compareVersions(QString const& a, QString const& b);

    // A feed larger than this is no feed.
    static constexpr qint64 MaxFeedBytes = 1 << 20;

Q_SIGNALS:
    // A check ended (not when it was dropped).
    void answered(AutoUpdaterFeed::Answer answer);

private:
    void start(bool show);
    void finished();
    void show();

    QUrl myUrl;
    QString myVersion;
    QNetworkAccessManager myNetwork;
    QNetworkReply* myReply = nullptr;
    int myTimeoutMs = 15000;
    bool myShowAnswer = false;
    bool myTooLarge = false;
    Answer myAnswer = Answer::None;
    QString myNewest;
};
