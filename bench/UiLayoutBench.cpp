#include <string>

#include <benchmark/benchmark.h>

#include "ui/CControlUI.h"
#include "ui/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"

namespace {

using namespace q208;

// A device page's size: 1,500 controls in rows of labels, buttons, options and sliders.
std::string PageXml() {
    std::string xml = R"(<Window size="1280,800"><VerticalLayout name="page" inset="8,8,8,8" childpadding="2" vscrollbar="true">)";
    int n = 1;  // the page itself
    for (int row = 0; n < 1500; ++row) {
        xml += R"(<HorizontalLayout height="24" childpadding="4">)";
        ++n;
        for (int col = 0; col < 9 && n < 1500; ++col, ++n) {
            const std::string id = std::to_string(row) + "_" + std::to_string(col);
            switch (col % 4) {
            case 0: xml += "<Label name=\"l" + id + "\" text=\"key " + id + "\" width=\"80\" textcolor=\"#FF202020\"/>"; break;
            case 1: xml += "<Button name=\"b" + id + "\" text=\"set\" bkcolor=\"#FF3060A0\" hotbkcolor=\"#FF4070B0\"/>"; break;
            case 2: xml += "<Option name=\"o" + id + "\" group=\"g" + std::to_string(row) + "\" width=\"24\"/>"; break;
            default: xml += "<Slider name=\"s" + id + "\" min=\"0\" max=\"127\" value=\"64\" padding=\"0,6,0,6\"/>"; break;
            }
        }
        xml += "</HorizontalLayout>";
    }
    xml += "</VerticalLayout></Window>";
    return xml;
}

void BM_BuildDevicePage(benchmark::State& state) {
    const std::string xml = PageXml();
    for (auto _ : state) {
        CPaintManagerUI pm;
        CDialogBuilder builder;
        auto root = builder.Create(xml, nullptr, &pm);
        benchmark::DoNotOptimize(root.get());
        pm.AttachDialog(std::move(root));
    }
}
BENCHMARK(BM_BuildDevicePage)->Unit(benchmark::kMillisecond);

void BM_LayoutDevicePage(benchmark::State& state) {
    CPaintManagerUI pm;
    CDialogBuilder builder;
    pm.AttachDialog(builder.Create(PageXml(), nullptr, &pm));
    pm.SetClientSize(1280, 800);
    for (auto _ : state) {
        pm.NeedUpdate();
        pm.DoLayout();
        benchmark::DoNotOptimize(pm.GetRoot()->GetPos());
    }
}
BENCHMARK(BM_LayoutDevicePage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
