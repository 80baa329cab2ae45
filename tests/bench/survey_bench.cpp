// The survey against what it cannot avoid: reading every link (bare), and
// appending the rows to the visible table, one at a time or in batches.
//   SIZE: number of links, 100 to a folder (0: 2,000). Rows one at a time are
//   timed only up to 5,000 links: at 20,000 they alone take minutes.
#include <cstdio>
#include <string>
#include <vector>

#include "app/LinkSurveyApp.h"
#include "bench/Benchmark.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"
#include "support/LinkFiles.h"
#include "support/TestHelpers.h"
#include "survey/HotkeyNames.h"
#include "survey/ShellLink.h"

namespace {
constexpr int kLinksPerFolder = 100;
constexpr int kMaxRowAtATime = 5000;
constexpr double kHandOverMs = 50;  // as the survey hands its rows over

void MakeTree(const TempTree& tree, int links)
{
    const int kFolders = (links + kLinksPerFolder - 1) / kLinksPerFolder;
    for (int f = 0; f < kFolders; ++f) tree.Folder("folder" + std::to_string(f));
    LinkSpec sample;
    sample.arguments = "/bench";
    sample.hotkey = 0x0641;
    for (int i = 0; i < links; ++i) {
        MakeLink(tree.Path("folder" + std::to_string(i % kFolders) + "\\link" + std::to_string(i) + ".lnk"), sample);
    }
}

void Walk(const std::string& folder, std::vector<ShortcutInfo>* read)
{
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Walk(path, read);
        } else {
            ShortcutInfo info = {};
            info.strLinkPath = AnsiToWide(path.c_str());
            if (SUCCEEDED(ReadShellLink(nullptr, &info))) read->push_back(info);
        }
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
}

// The rows in batches as large as the walk reads in one hand-over interval,
// through the survey's own hand-over message.
void AppendBatches(CLinkSurveyDlg& dlg, const std::vector<ShortcutInfo>& read, double bareMs)
{
    const double perInterval = bareMs > 0 ? read.size() * kHandOverMs / bareMs : read.size();
    const size_t batchSize = perInterval < 1 ? 1 : static_cast<size_t>(perInterval);
    ShortcutBatch batch;
    for (size_t i = 0; i < read.size(); ++i) {
        batch.rows.push_back(MakeShortcutRow(read[i]));
        if (batch.rows.size() == batchSize || i + 1 == read.size()) {
            ::SendMessageW(dlg.m_hWnd, WM_LIRVAN_ADDROWS, 0, reinterpret_cast<LPARAM>(&batch));
            dlg.m_listCtrl.UpdateWindow();  // with its one repaint
            batch.rows.clear();
        }
    }
}

// Today's rows one at a time, each painted at once.
void AppendRowsOneByOne(CListCtrl& list, const std::vector<ShortcutInfo>& read)
{
    for (const ShortcutInfo& info : read) {
        const ShortcutRow cells = MakeShortcutRow(info);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = list.GetItemCount();
        item.pszText = const_cast<WCHAR*>(cells.cells[0].c_str());
        const int row = list.InsertItem(item);
        for (int c = 1; c <= 7; ++c) list.SetItemText(row, c, cells.cells[c]);
        list.SetItemData(row, cells.data);
        list.UpdateWindow();
    }
}

void RunSurveyBenchmark(int size)
{
    const int links = size > 0 ? size : 2000;
    ComScope com;
    TempTree tree;
    MakeTree(tree, links);
    std::printf("tree: %d links in %d folders\n", links, (links + kLinksPerFolder - 1) / kLinksPerFolder);

    std::vector<ShortcutInfo> read;
    double start = BenchNowMs();
    Walk(tree.Root(), &read);
    const double bare = BenchNowMs() - start;

    CLinkSurveyDlg dlg;
    dlg.Create(nullptr);
    theApp.m_pMainWnd = &dlg;
    PumpPending();
    double oneByOne = -1;
    if (links <= kMaxRowAtATime) {
        start = BenchNowMs();
        AppendRowsOneByOne(dlg.m_listCtrl, read);
        oneByOne = BenchNowMs() - start;
        dlg.m_listCtrl.DeleteAllItems();
        PumpPending();
    }
    start = BenchNowMs();
    AppendBatches(dlg, read, bare);
    const double batches = BenchNowMs() - start;
    dlg.m_listCtrl.DeleteAllItems();
    PumpPending();

    dlg.m_strFolder = Wide(tree.Root());
    start = BenchNowMs();
    ::SendMessageA(dlg.m_hWnd, WM_COMMAND, ID_TOOL_SCAN, 0);
    PumpUntil([&] { return ::GetMenuState(dlg.GetMenu(), ID_TOOL_SCAN, MF_BYCOMMAND) == MF_ENABLED; }, 3600000);
    const double survey = BenchNowMs() - start;
    const int rows = dlg.m_listCtrl.GetItemCount();
    theApp.m_pMainWnd = nullptr;

    auto rate = [](size_t n, double ms) { return ms > 0 ? n * 1000.0 / ms : 0.0; };
    const size_t n = read.size();
    std::printf("bare        (walk + read, no window):   %8.0f ms  %7.1f links/s  (%zu read)\n", bare, rate(n, bare), n);
    if (oneByOne >= 0) {
        std::printf("row by row  (rows into visible table):  %8.0f ms  %7.1f links/s\n", oneByOne, rate(n, oneByOne));
    } else {
        std::printf("row by row  (rows into visible table):  skipped above %d links\n", kMaxRowAtATime);
    }
    std::printf("batches     (rows into visible table):  %8.0f ms  %7.1f links/s\n", batches, rate(n, batches));
    std::printf("survey      (F5 to end of busy state):  %8.0f ms  %7.1f links/s  (%d rows)\n", survey,
                rate(static_cast<size_t>(rows), survey), rows);
    std::printf("ratio survey / bare = %.3f\n", survey / bare);
}
}  // namespace

LIRVAN_BENCHMARK("survey", RunSurveyBenchmark);
