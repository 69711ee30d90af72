// How long the result list's copy, save and find take on a big list: each
// runs on the GUI thread, so its time is how long the window stands still.
//
//   bench_listactions [LINES]      (default: 1000000 lines of 120 bytes)

#include "form/settingsstore.h"
#include "ui/findbar.h"
#include "ui/notify.h"
#include "ui/querydlg.h"
#include "ui/resultlistactions.h"
#include "ui/resultlistmodel.h"
#include "ui/savename.h"
#include "ui/widgets.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace {

struct Silent : Notifier
{
    void messageBox(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    void beep() override {}
};

// A fare line of the demo server's shape, 120 bytes, with a tab and a few
// bytes above 127 so the conversions take their slow paths too.
QByteArray Line(qint64 i)
{
    QByteArray line = "FARE=" + QByteArray::number(i).rightJustified(8, '0') +
                      "\tFRA-JFK;LH;400;\xe4\xf6\xfc;EUR;";
    while (line.size() < 120)
        line += "Y-CLASS ";
    line.truncate(120);
    return line;
}

template <class F> double TimeMs(F &&work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const qint64 lines = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    QTemporaryDir dir;
    SetSettingsFileOverride(dir.filePath(QStringLiteral("bench.conf")));
    Silent silent;
    SetNotifier(&silent);
    const QString savePath = dir.filePath(QStringLiteral("saved.txt"));
    SetSaveNameAsker([&savePath](QWidget *, const QString &) { return savePath; });

    SavedCopies saved{"FRA", "NYC", "", "127.0.0.1", 7000};
    CQueryDlg dlg(saved);
    dlg.show();
    QCoreApplication::processEvents();
    CResultList *list = dlg.m_listResults;
    const double fillMs = TimeMs([&] {
        for (qint64 i = 0; i < lines; ++i)
            list->addLine(Line(i));
        list->flushAndUpdate();
    });
    auto *actions = list->findChild<ResultListActions *>();
    const auto trigger = [list](const char *name) {
        list->findChild<QAction *>(QLatin1String(name))->trigger();
    };

    // What merely touching a fresh buffer of the clipboard text's size costs
    // here: the floor under any copy that hands the text over as one string.
    const double touchMs = TimeMs([&] {
        QString fresh(lines * 121, Qt::Uninitialized);
        std::memset(static_cast<void *>(fresh.data()), 0, size_t(fresh.size()) * 2);
    });
    const double copyAllMs = TimeMs([&] { trigger("copyAllAction"); });
    const qsizetype copied = QGuiApplication::clipboard()->text().size();
    list->selectAll();
    const double copySelectedMs = TimeMs([&] { trigger("copyAction"); });
    list->clearSelection();
    const double saveMs = TimeMs([&] { trigger("saveAsAction"); });
    const qint64 saved_bytes = QFileInfo(savePath).size();

    actions->openFind();
    auto *text = actions->findBar()->findChild<QLineEdit *>(QStringLiteral("findText"));
    list->setCurrentIndex(list->model()->index(0, 0));
    text->setText(QStringLiteral("no such text"));
    const double findMissMs = TimeMs([&] { actions->findNext(); });
    text->setText(QStringLiteral("fare=%1").arg(lines - 1, 8, 10, QLatin1Char('0')));
    const double findLastMs = TimeMs([&] { actions->findNext(); });
    const int foundRow = list->currentIndex().row();

    std::printf("%lld lines of 120 bytes (fill %.0f ms)\n", lines, fillMs);
    std::printf("  first touch of a buffer that size %8.1f ms  (%.0f MB)\n", touchMs,
                lines * 121 * 2 / 1e6);
    std::printf("  copy all          %8.1f ms  (%lld characters)\n", copyAllMs, qint64(copied));
    std::printf("  copy all selected %8.1f ms\n", copySelectedMs);
    std::printf("  save as           %8.1f ms  (%lld bytes)\n", saveMs, saved_bytes);
    std::printf("  find, no match    %8.1f ms  (full scan)\n", findMissMs);
    std::printf("  find, last line   %8.1f ms  (row %d)\n", findLastMs, foundRow);
    return copied == lines * 121 - 1 && saved_bytes == lines * 121 && foundRow == lines - 1 ? 0 : 1;
}
