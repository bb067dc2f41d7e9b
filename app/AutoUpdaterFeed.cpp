#include "AutoUpdaterFeed.h"

#include "aTrace.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <utility>

namespace {

bool isVersion(QString const& text)
{
    static QRegularExpression const Version("^\\d+(\\.\\d+)*$");
    return Version.match(text).hasMatch();
}

} // namespace

AutoUpdaterFeed::AutoUpdaterFeed(char const* feedUrl, char const* currentVersion)
    : myUrl(QString::fromUtf8(feedUrl ? feedUrl : "")),
      myVersion(currentVersion ? QString::fromUtf8(currentVersion)
                               : QCoreApplication::applicationVersion())
{
}

AutoUpdaterFeed::~AutoUpdaterFeed()
{
    // Aborting reports the reply finished at once: nobody may hear of it any more.
    if (QNetworkReply* reply = std::exchange(myReply, nullptr)) {
        reply->disconnect(this);
        reply->abort();
        delete reply;
    }
}

void AutoUpdaterFeed::checkForUpdates()
{
    start(false);
}

void AutoUpdaterFeed::checkForUpdatesAndShow()
{
    start(true);
}

void AutoUpdaterFeed::start(bool show)
{
    // A check already under way answers the later request too.
    myShowAnswer = myShowAnswer || show;
    if (myReply)
        return;
    A_TRACE("Checking for updates at %s\n", myUrl.toString().toUtf8().constData());
    QNetworkRequest request(myUrl);
    request.setTransferTimeout(myTimeoutMs);
    myTooLarge = false;
    myReply = myNetwork.get(request);
    connect(myReply, &QNetworkReply::finished, this, &AutoUpdaterFeed::finished);
    connect(myReply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received <= MaxFeedBytes || !myReply)
            return;
        myTooLarge = true;
        myReply->abort();
    });
}

void AutoUpdaterFeed::finished()
{
    QNetworkReply* reply = std::exchange(myReply, nullptr);
    if (!reply)
        return;
    reply->deleteLater();
    myNewest.clear();
    if (myTooLarge) {
        myAnswer = Answer::Malformed;
    } else if (reply->error() != QNetworkReply::NoError) {
        A_TRACE("Update check: %s\n", reply->errorString().toUtf8().constData());
        myAnswer = Answer::NoAnswer;
    } else {
        myNewest = newestVersionIn(reply->readAll());
        if (myNewest.isEmpty())
            myAnswer = Answer::Malformed;
        else
            myAnswer = compareVersions(myNewest, myVersion) > 0 ? Answer::Newer : Answer::UpToDate;
    }
    A_TRACE("Update check: %s\n", answerText().toUtf8().constData());
    if (std::exchange(myShowAnswer, false))
        show();
    Q_EMIT answered(myAnswer);
}

void AutoUpdaterFeed::show()
{
    // Not modal: the answer waits beside the work until it is read.
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Check For Updates"),
                                answerText(), QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

QString AutoUpdaterFeed::answerText() const
{
    switch (myAnswer) {
    case Answer::Newer:
        return QStringLiteral("Vantrel %1 is available. This is version %2.")
            .arg(myNewest, myVersion);
    case Answer::UpToDate:
        return QStringLiteral("Vantrel %1 is the newest version.").arg(myVersion);
    case Answer::Malformed:
        return QStringLiteral("The update information could not be read.");
    case Answer::NoAnswer:
        return QStringLiteral("The update server could not be reached.");
    case Answer::None:
        break;
    }
    return QStringLiteral("No update check has finished yet.");
}

QString AutoUpdaterFeed::newestVersionIn(QByteArray const& feed)
{
    QXmlStreamReader xml(feed);
    QStringList versions;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        for (QXmlStreamAttribute const& attr : xml.attributes())
            if (attr.name() == QLatin1String("version"))
                versions << attr.value().toString().trimmed();
        if (xml.name() == QLatin1String("version"))
            versions << xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
    }
    if (xml.hasError() || versions.isEmpty())
        return {};
    if (!std::all_of(versions.begin(), versions.end(), isVersion))
        return {};
    return *std::max_element(
        versions.begin(), versions.end(),
        [](QString const& a, QString const& b) { return compareVersions(a, b) < 0; });
}

int AutoUpdaterFeed::compareVersions(QString const& a, QString const& b)
{
    QStringList const x = a.split('.');
    QStringList const y = b.split('.');
    for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i) {
        // Compared as digit strings, so that no number is too long to compare.
        auto part = [](QStringList const& p, qsizetype i) {
            QString s = i < p.size() ? p[i] : QString();
            while (s.startsWith('0'))
                s.remove(0, 1);
            return s;
        };
        QString const u = part(x, i);
        QString const v = part(y, i);
        if (u.size() != v.size())
            return u.size() < v.size() ? -1 : 1;
        if (int const c = u.compare(v))
            return c < 0 ? -1 : 1;
    }
    return 0;
}
