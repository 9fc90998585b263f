// Opening a colour-cube editor builds n planes of n² cells: the cost per cell of rebuilding the
// stack, laying it out and drawing it for the first time at n = 64 (262,144 cells) against the same
// at n = 8 (512 cells), in the same run. The cost must grow with the cells, not faster.
#include <cstdio>

#include "bench/bench_host.h"
#include "bench/bench_timing.h"
#include "editor/color/color_cube_data_view.h"
#include "platform/dispatch/clock.h"
#include "platform/host/headless_host.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "ui/ui_services.h"

namespace {

struct Cube : ColorCubeDataViewDelegate {
    long n = 8;
    Value record = Value::dictionary();
    long onColorCubeDataViewGetDimension(ColorCubeDataView&) override { return n; }
    Value onColorCubeDataViewGetAttr(ColorCubeDataView&) override { return record; }
    void onColorCubeDataViewValueChanged(ColorCubeDataView&) override {}
};

Value table(long n) {
    ValueArray t;
    for (long i = 0; i < n * n * n; ++i)
        t.push_back(Value(ValueArray{Value((i % 7) / 7.0), Value((i % 5) / 5.0), Value((i % 3) / 3.0), Value(1.0)}));
    return Value(std::move(t));
}

// Best time per cell of building, laying out and first drawing the stack of an n-cube.
double perCell(HeadlessHost& host, long n, int runs) {
    auto vc = UIViewController::make();
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    window->setRootViewController(vc);
    auto cube = std::make_shared<Cube>();
    cube->n = n;
    cube->record.set("value", table(n));
    auto grid = ColorCubeDataView::make(vc);
    grid->setDelegate(cube);
    grid->setFrame(CGRectMake(20, 120, 238, 255));
    vc->view()->addSubview(grid);
    host.step(0.1);
    const double t = best(runs, [&] {
        grid->updateData();
        grid->updateView();
        host.step(1.0 / 60);
    });
    window->setHidden(true);
    return t / static_cast<double>(n * n * n);
}

}  // namespace

int main() {
    Clock::useVirtual();
    registerUIServices();
    HeadlessHost host(notchedHeadlessScreen());

    const double small = perCell(host, 8, 20);
    const double large = perCell(host, 64, 2);
    std::printf("Korva colour-cube grid benchmark (stack rebuilt, laid out and drawn once)\n");
    std::printf("  n = 8: %.2f us per cell, n = 64: %.2f us per cell (%.0f ms for the whole stack)\n", small * 1e6,
                large * 1e6, large * 262144 * 1e3);
    verdict("cost per cell at n = 64 / cost per cell at n = 8", large / small, 2.0);
    return 0;
}
