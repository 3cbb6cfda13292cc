// bench_grid [WORKBOOK.xls]: times the grid widget on a 65,535-row workbook
// (made with python3-xlwt when none is given) as the operator meets it:
// loading, scrolling to the end with a repaint, editing the last row and the
// row appended below it. Run with QT_QPA_PLATFORM=offscreen where there is no
// display.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

#include "platform/grid/FlexGrid.h"
#include "platform/grid/FlexGridModel.h"

namespace {

// Milliseconds that `step` takes, including the events it leaves behind.
double timed(const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QTemporaryDir scratch;
    QString workbook = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.filePath(QStringLiteral("bench.xls"));
    if (argc <= 1 && QProcess::execute(QStringLiteral("python3"), {QStringLiteral(WORKBOOK_SCRIPT), workbook}) != 0) {
        std::fprintf(stderr, "could not make the workbook (python3-xlwt missing?)\n");
        return 1;
    }

    FlexGrid grid;
    grid.setEditable(1);
    grid.setTwipsGeometry({120, 960, 7515, 4260});
    grid.setRows(2);
    grid.setCols(4);
    grid.show();
    QApplication::processEvents();

    bool loaded = false;
    const double load = timed([&] { loaded = grid.LoadGrid(workbook, FlexGrid::flexFileExcel); });
    if (!loaded) {
        std::fprintf(stderr, "load refused: %s\n", qPrintable(grid.lastLoad().detail()));
        return 1;
    }
    const int rowsLoaded = grid.Rows() - 1;
    const double paintTop = timed([&] { grid.viewport()->repaint(); });
    const double scrollEnd = timed([&] {
        grid.setRow(grid.Rows() - 1);
        grid.scrollToBottom();
        grid.viewport()->repaint();
    });
    const double pageUps = timed([&] {
        for (int i = 0; i < 100; ++i) {
            grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
            grid.viewport()->repaint();
        }
    });
    FlexGridModel *model = grid.gridModel();
    const double edit = timed([&] { model->setData(model->index(grid.Rows() - 1, 2), QStringLiteral("son ürün")); });
    const double append = timed([&] { grid.setRows(grid.Rows() + 1); });
    const double reset = timed([&] {
        grid.Clear();
        grid.setRows(2);
    });

    std::printf("rows loaded             %d\n", rowsLoaded);
    std::printf("LoadGrid                %9.1f ms\n", load);
    std::printf("first paint             %9.1f ms\n", paintTop);
    std::printf("jump to last row+paint  %9.1f ms\n", scrollEnd);
    std::printf("100 page-ups with paint %9.1f ms (%.2f ms each)\n", pageUps, pageUps / 100);
    std::printf("edit of the last row    %9.3f ms\n", edit);
    std::printf("append one row          %9.3f ms\n", append);
    std::printf("clear and cut to 2 rows %9.1f ms\n", reset);
    return 0;
}
