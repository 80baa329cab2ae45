// The survey against what it cannot avoid: reading every link (bare), and
// appending the rows to the visible table, one at a time or in batches.
//   SIZE: number of links, 100 to a folder (0: 2,000). Rows one at a time are
//   timed only up to 5,000 links: at 20,000 they alone take minutes.
// "bigtree" surveys 2,000 links among 100,000 plain files in 2,000 more folders;
// "reallinks" SIZE copies of the real links that Windows wrote (test data).
// Bare is the walk and one reused link object that loads and reads each link,
// on a thread without windows. Bare and survey are timed in turn, three rounds
// after one untimed round of each, and their medians compared; the lines below
// bare split the survey's own time, each part timed alone.
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/LinkSurveyApp.h"
#include "bench/Benchmark.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"
#include "support/LinkFiles.h"
#include "support/TestHelpers.h"
#include "survey/HotkeyNames.h"
#include "survey/LinkCheck.h"
#include "survey/ShellLink.h"
#include "survey/TargetCheck.h"

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
            dlg.m_handedOver.Put(std::move(batch));
            ::SendMessageW(dlg.m_hWnd, WM_LIRVAN_ADDROWS, 0, 0);
            dlg.m_listCtrl.UpdateWindow();  // with its one repaint
            batch = ShortcutBatch();
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

// The tree's links in walk order, found the way the survey walks.
void WalkLinks(const std::wstring& folder, std::vector<std::wstring>* links)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            WalkLinks(folder + L"\\" + name, links);
        } else if (name.size() > 4 && ::lstrcmpiW(name.c_str() + name.size() - 4, L".lnk") == 0) {
            links->push_back(folder + L"\\" + name);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

// What no survey can do without: one reused link object loads each link by its
// path and, unless `loadOnly`, resolves it and reads its properties.
void ReadWithOneObject(const std::vector<std::wstring>& links, bool loadOnly = false)
{
    CShellLinkObject object;
    object.Create();
    std::vector<WCHAR> text(0x10000);
    WIN32_FIND_DATAW data;
    WORD hotkey;
    int show, index;
    for (const std::wstring& path : links) {
        if (FAILED(object.m_file->Load(path.c_str(), STGM_READ)) || loadOnly) continue;
        IShellLinkW* link = object.m_link;
        link->Resolve(nullptr, SLR_NO_UI | SLR_ANY_MATCH);
        link->GetPath(text.data(), 0x10000, &data, 0);
        link->GetArguments(text.data(), 0x10000);
        link->GetWorkingDirectory(text.data(), 0x10000);
        link->GetHotkey(&hotkey);
        link->GetShowCmd(&show);
        link->GetIconLocation(text.data(), 0x10000, &index);
    }
}

// Each link opened, checked and closed, as before its load.
void CheckEach(const std::vector<std::wstring>& links)
{
    for (const std::wstring& path : links) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        FileLinkSource source(file);
        CheckShellLink(source);
        ::CloseHandle(file);
    }
}

template <typename Work>
double Timed(Work work)
{
    const double start = BenchNowMs();
    work();
    return BenchNowMs() - start;
}

// The walk and the reads on a thread of their own, as a program without windows has them.
void BareRead(const std::wstring& root)
{
    std::thread bare([&] {
        ::CoInitialize(nullptr);
        std::vector<std::wstring> found;
        WalkLinks(root, &found);
        ReadWithOneObject(found);
        ::CoUninitialize();
    });
    bare.join();
}

double Median(std::vector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

// F5 to the end of the busy state, in a window that has surveyed before.
double TimeSurvey(CLinkSurveyDlg& dlg)
{
    return Timed([&] {
        ::SendMessageA(dlg.m_hWnd, WM_COMMAND, ID_TOOL_SCAN, 0);
        PumpUntil([&] { return ::GetMenuState(dlg.GetMenu(), ID_TOOL_SCAN, MF_BYCOMMAND) == MF_ENABLED; }, 3600000);
    });
}

void RunSurveyOn(const TempTree& tree, bool rowByRow)
{
    constexpr int kRounds = 3;
    const std::wstring root = Wide(tree.Root());
    CLinkSurveyDlg dlg;
    dlg.Create(nullptr);
    theApp.m_pMainWnd = &dlg;
    dlg.m_strFolder = root;
    PumpPending();
    // Both once first, so that neither pays alone for loading the system's code
    // or for the file cache; then in turn, round by round.
    std::vector<std::wstring> links;
    WalkLinks(root, &links);
    const double firstBare = Timed([&] { BareRead(root); });
    const double firstSurvey = TimeSurvey(dlg);
    std::vector<double> bares, surveys;
    for (int round = 0; round < kRounds; ++round) {
        bares.push_back(Timed([&] { BareRead(root); }));
        surveys.push_back(TimeSurvey(dlg));
    }
    const int rows = dlg.m_listCtrl.GetItemCount();
    dlg.m_listCtrl.DeleteAllItems();
    PumpPending();

    // How the survey's time splits, each part once.
    const double walk = Timed([&] { std::vector<std::wstring> found; WalkLinks(root, &found); });
    const double check = Timed([&] { CheckEach(links); });
    const double load = Timed([&] { ReadWithOneObject(links, true); });
    std::vector<ShortcutInfo> read;
    const double reading = Timed([&] {
        CShellLinkObject object;
        for (const std::wstring& path : links) {
            ShortcutInfo info;
            info.strLinkPath = path;
            if (SUCCEEDED(ReadShellLink(nullptr, &info, &object))) read.push_back(info);
        }
    });
    CTargetCheck targets;
    const double targetCheck = Timed([&] { for (const ShortcutInfo& info : read) targets.IsMissing(info.strTarget); });
    double oneByOne = -1;
    if (rowByRow) {
        oneByOne = Timed([&] { AppendRowsOneByOne(dlg.m_listCtrl, read); });
        dlg.m_listCtrl.DeleteAllItems();
        PumpPending();
    }
    const double batches = Timed([&] { AppendBatches(dlg, read, reading); });
    theApp.m_pMainWnd = nullptr;

    const double bare = Median(bares), survey = Median(surveys);
    auto rate = [](size_t n, double ms) { return ms > 0 ? n * 1000.0 / ms : 0.0; };
    const size_t n = read.size();
    std::printf("bare        (walk, one object reads):   %8.0f ms  %7.1f links/s  (%zu links)\n", bare, rate(n, bare), n);
    std::printf("  walk                                  %8.0f ms\n", walk);
    std::printf("  open and check each file              %8.0f ms\n", check);
    std::printf("  load                                  %8.0f ms\n", load);
    std::printf("  Resolve and the getters               %8.0f ms  (the survey's read less the two above)\n",
                reading - check - load);
    std::printf("  target check                          %8.0f ms\n", targetCheck);
    std::printf("  hand-over and the last batch's wait   %8.0f ms  (the survey less walk, read and target check;\n"
                "                                                   below 0: the walk and the checks overlap the reads)\n",
                survey - walk - reading - targetCheck);
    if (oneByOne >= 0) {
        std::printf("row by row  (rows into visible table):  %8.0f ms  %7.1f links/s\n", oneByOne, rate(n, oneByOne));
    }
    std::printf("batches     (rows into visible table):  %8.0f ms  %7.1f links/s\n", batches, rate(n, batches));
    std::printf("survey      (F5 to end of busy state):  %8.0f ms  %7.1f links/s  (%d rows)\n", survey,
                rate(static_cast<size_t>(rows), survey), rows);
    std::printf("first round (bare / survey ms):  %.0f / %.0f\n", firstBare, firstSurvey);
    std::printf("rounds (bare / survey ms):");
    for (int round = 0; round < kRounds; ++round) std::printf("  %.0f / %.0f", bares[round], surveys[round]);
    std::printf("\nratio survey / bare = %.3f  (medians of %d rounds)\n", survey / bare, kRounds);
}

void RunSurveyBenchmark(int size)
{
    const int links = size > 0 ? size : 2000;
    ComScope com;
    TempTree tree;
    MakeTree(tree, links);
    std::printf("tree: %d links in %d folders\n", links, (links + kLinksPerFolder - 1) / kLinksPerFolder);
    RunSurveyOn(tree, links <= kMaxRowAtATime);
}

// A user's disk: 100,000 plain files in 2,000 folders, a link in each folder.
void RunBigTreeBenchmark(int)
{
    constexpr int kFolders = 2000, kPlainPerFolder = 50;
    ComScope com;
    TempTree tree;
    MakeTree(tree, kFolders);
    for (int f = 0; f < kFolders; ++f) {
        const std::string folder = tree.Folder("folder" + std::to_string(f % (kFolders / kLinksPerFolder)) + "\\sub" +
                                               std::to_string(f));
        for (int i = 0; i < kPlainPerFolder; ++i) {
            const std::string path = folder + "\\file" + std::to_string(i) + ".txt";
            HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        }
    }
    std::printf("tree: %d links and %d plain files\n", kFolders, kFolders * kPlainPerFolder);
    RunSurveyOn(tree, false);
}

// Links as Windows writes them: the real samples, copied round to SIZE links.
void RunRealLinksBenchmark(int size)
{
    const int links = size > 0 ? size : 2000;
    ComScope com;
    TempTree tree;
    std::vector<std::wstring> samples;
    for (const std::wstring& name : NamesInW(RealLinksFolder())) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, L".lnk") == 0) samples.push_back(name);
    }
    const int folders = (links + kLinksPerFolder - 1) / kLinksPerFolder;
    for (int f = 0; f < folders; ++f) tree.Folder("folder" + std::to_string(f));
    for (int i = 0; i < links; ++i) {
        const std::wstring& name = samples[i % samples.size()];
        ::CopyFileW((RealLinksFolder() + L"\\" + name).c_str(),
                    (Wide(tree.Path("folder" + std::to_string(i % folders))) + L"\\" + std::to_wstring(i) + name).c_str(),
                    FALSE);
    }
    std::printf("tree: %d copies of %zu real links in %d folders\n", links, samples.size(), folders);
    RunSurveyOn(tree, false);
}
}  // namespace

LIRVAN_BENCHMARK("survey", RunSurveyBenchmark);
LIRVAN_BENCHMARK("bigtree", RunBigTreeBenchmark);
LIRVAN_BENCHMARK("reallinks", RunRealLinksBenchmark);
