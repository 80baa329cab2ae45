// The survey against the two costs it cannot avoid: reading every link, and
// appending a row per link to the visible table.
//   SIZE: number of links, spread over 20 folders (0: 2,000).
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
constexpr int kFolders = 20;

void MakeTree(const TempTree& tree, int links)
{
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

void AppendRows(CListCtrl& list, const std::vector<ShortcutInfo>& rows)
{
    for (const ShortcutInfo& info : rows) {
        CString index;
        index.Format("%d", info.nIconIndex < 0 ? 0 : info.nIconIndex);
        const CStringW hotkey = AnsiToWide(HotkeyToText(info.wHotkey));
        const CStringW showCmd = AnsiToWide(ShowCmdName(info.nShowCmd));
        const CStringW indexText = AnsiToWide(index);
        const WCHAR* cells[7] = {info.szTarget, info.szArguments, info.szWorkDir, hotkey,
                                 showCmd, info.szIconPath, indexText};
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = list.GetItemCount();
        item.pszText = const_cast<WCHAR*>(info.strLinkPath.c_str());
        const int row = list.InsertItem(item);
        for (int c = 1; c <= 7; ++c) list.SetItemText(row, c, cells[c - 1]);
        list.SetItemData(row, info.wHotkey);
        list.UpdateWindow();
    }
}

void RunSurveyBenchmark(int size)
{
    const int links = size > 0 ? size : 2000;
    ComScope com;
    TempTree tree;
    MakeTree(tree, links);
    std::printf("tree: %d links in %d folders\n", links, kFolders);

    std::vector<ShortcutInfo> read;
    double start = BenchNowMs();
    Walk(tree.Root(), &read);
    const double bare = BenchNowMs() - start;

    CLinkSurveyDlg dlg;
    dlg.Create(nullptr);
    theApp.m_pMainWnd = &dlg;
    PumpPending();
    start = BenchNowMs();
    AppendRows(dlg.m_listCtrl, read);
    const double listOnly = BenchNowMs() - start;
    dlg.m_listCtrl.DeleteAllItems();
    PumpPending();

    dlg.m_strFolder = tree.Root().c_str();
    start = BenchNowMs();
    ::SendMessageA(dlg.m_hWnd, WM_COMMAND, ID_TOOL_SCAN, 0);
    PumpUntil([&] { return ::GetMenuState(dlg.GetMenu(), ID_TOOL_SCAN, MF_BYCOMMAND) == MF_ENABLED; }, 3600000);
    const double survey = BenchNowMs() - start;
    const int rows = dlg.m_listCtrl.GetItemCount();
    theApp.m_pMainWnd = nullptr;

    auto rate = [](int n, double ms) { return ms > 0 ? n * 1000.0 / ms : 0.0; };
    std::printf("bare      (walk + read, no window): %9.0f ms  %7.1f links/s  (%zu read)\n", bare,
                rate(static_cast<int>(read.size()), bare), read.size());
    std::printf("list only (rows into visible table): %8.0f ms  %7.1f links/s\n", listOnly,
                rate(static_cast<int>(read.size()), listOnly));
    std::printf("survey    (F5 to end of busy state): %8.0f ms  %7.1f links/s  (%d rows)\n", survey,
                rate(rows, survey), rows);
    std::printf("ratios: survey / bare = %.2f, survey / list only = %.2f, survey / (bare + list only) = %.3f\n",
                survey / bare, survey / listOnly, survey / (bare + listOnly));
}
}  // namespace

LIRVAN_BENCHMARK("survey", RunSurveyBenchmark);
