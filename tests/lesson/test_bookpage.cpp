// An HTML book page that tries to read files beside its book and send them out: only its own
// folder is readable, and nothing reaches the network.
#include "lesson/screen/lessonpageview.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

// Each attempt reports "ok" or "err" into the title once all have ended.
const char *const HostilePage = R"(<html><body><img id="own" src="own.png"><script>
const picture = (img) => new Promise(r => {
  if (img.complete && img.naturalWidth) r('ok');
  img.onload = () => r('ok'); img.onerror = () => r('err'); });
const outside = new Image(); outside.src = 'OUTSIDE_IMG';
const xhr = new Promise(r => { try { const x = new XMLHttpRequest(); x.open('GET', 'SECRET');
  x.onload = () => r(x.responseText.length ? 'ok' : 'err'); x.onerror = () => r('err'); x.send();
  } catch (e) { r('err'); } });
const web = fetch('http://127.0.0.1:PORT/send').then(() => 'ok', () => 'err');
const socket = new Promise(r => { try { const s = new WebSocket('ws://127.0.0.1:PORT/');
  s.onopen = () => r('ok'); s.onerror = () => r('err'); } catch (e) { r('err'); } });
Promise.all([picture(document.getElementById('own')), picture(outside), xhr, web, socket])
  .then(v => { document.title = 'done:' + v.join(','); });
</script></body></html>)";

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(BookPage, ReadsOnlyItsOwnFolderAndReachesNoNetwork) {
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("books/05"));
    ASSERT_TRUE(QDir().mkpath(book));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(book + QStringLiteral("/own.png")));
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("outside.png"))));
    writeFile(dir.filePath(QStringLiteral("tellavo.ini")), "Login=jana\nPassword=x1y2\n");
    QTcpServer listener; // stands for any address on the network
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    int contacts = 0;
    QObject::connect(&listener, &QTcpServer::newConnection, [&] {
        ++contacts;
        listener.nextPendingConnection()->abort(); // so the page's attempt ends
    });
    QByteArray page(HostilePage);
    page.replace("OUTSIDE_IMG", QUrl::fromLocalFile(dir.filePath("outside.png")).toEncoded());
    page.replace("SECRET", QUrl::fromLocalFile(dir.filePath("tellavo.ini")).toEncoded());
    page.replace("PORT", QByteArray::number(listener.serverPort()));
    writeFile(book + QStringLiteral("/index.htm"), page);

    TLessonPageView view;
    view.resize(400, 300);
    view.show();
    view.showHtml(book + QStringLiteral("/index.htm"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.browser()->title().startsWith("done:"); }, 30000))
        << view.browser()->title().toStdString() << " contacts: " << contacts;
    // Its own picture, then the picture beside the book, the settings file, the web and a
    // WebSocket.
    EXPECT_EQ(view.browser()->title().toStdString(), "done:ok,err,err,err,err");
    QTest::qWait(100); // a connection on its way is counted too
    EXPECT_EQ(contacts, 0);
}

} // namespace
