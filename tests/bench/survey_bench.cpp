// The survey against what it cannot avoid: the walk and the read of every link
// by one link object on one thread (bare).
//   SIZE: number of links, 100 to a folder (0: 2,000).
// "bigtree" surveys 2,000 links among 100,000 plain files in 2,000 more folders;
// "reallinks" SIZE copies of the real links that Windows wrote (test data);
// "hanging" SIZE links (0: 200) and ten links whose Resolve never returns.
// Bare and survey are timed in turn, three rounds after one untimed round of
// each, with one reader and with as many as the machine gives, and their
// medians compared; meanwhile another thread times how long the window takes
// to answer a message. The lines below bare split the read into its parts.
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <memory>
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
#include "survey/LinkCheck.h"
#include "survey/LinkReaderDriver.h"
#include "survey/LinkReaderPool.h"
#include "survey/ShellLink.h"
#include "survey/SurveyRun.h"

namespace {
constexpr int kLinksPerFolder = 100;

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
        IShellLinkW* link = object.m_link.Get();
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

// Times how long the window takes to answer a message, from another thread,
// while it lives.
class CAnswerWatch {
public:
    explicit CAnswerWatch(HWND window)
        : m_thread([this, window] {
              const double begun = BenchNowMs();
              while (!m_stop) {
                  const double start = BenchNowMs();
                  DWORD_PTR result = 0;
                  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
                  const double took = BenchNowMs() - start;
                  if (took > m_longest) {
                      m_longest = took;
                      m_longestAt = start - begun;
                  }
                  // Asked after the start command had been answered: the survey itself.
                  if (start >= m_startAnswered && took > m_longestAfterStart) m_longestAfterStart = took;
                  ::Sleep(5);
              }
          })
    {
    }
    ~CAnswerWatch()
    {
        m_stop = true;
        m_thread.join();
    }
    double Longest() const { return m_longest; }
    double LongestAt() const { return m_longestAt; }  // ms after the watch began
    void StartAnswered() { m_startAnswered = BenchNowMs(); }
    double LongestAfterStart() const { return m_longestAfterStart; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<double> m_longest{0}, m_longestAt{0}, m_longestAfterStart{0};
    std::atomic<double> m_startAnswered{1e300};
    std::thread m_thread;
};

// F5 to the end of the busy state, in a window that has surveyed before; the
// longest time the window took to answer meanwhile in *longest.
double ProcessCpuMs()
{
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& t) { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}
double g_surveyCpuMs = 0, g_windowCpuMs = 0, g_longestAtMs = 0, g_longestAfterStartMs = 0;
double ThreadCpuMs()
{
    FILETIME created, ended, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& t) { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

double TimeSurvey(CLinkSurveyDlg& dlg, double* longest = nullptr)
{
    const double cpu = ProcessCpuMs(), windowCpu = ThreadCpuMs();
    // Asking the window costs the survey time: only in a round of its own.
    std::unique_ptr<CAnswerWatch> watch;
    if (longest) watch = std::make_unique<CAnswerWatch>(dlg.m_hWnd);
    const double took = Timed([&] {
        ::SendMessageA(dlg.m_hWnd, WM_COMMAND, ID_TOOL_SCAN, 0);
        if (watch) watch->StartAnswered();
        PumpUntil([&] { return ::GetMenuState(dlg.GetMenu(), ID_TOOL_SCAN, MF_BYCOMMAND) == MF_ENABLED; }, 3600000);
    });
    if (longest) {
        *longest = std::max(*longest, watch->Longest());
        g_longestAtMs = watch->LongestAt();
        g_longestAfterStartMs = watch->LongestAfterStart();
    }
    g_surveyCpuMs = ProcessCpuMs() - cpu;
    g_windowCpuMs = ThreadCpuMs() - windowCpu;
    return took;
}

void RunSurveyOn(const TempTree& tree)
{
    constexpr int kRounds = 3;
    const std::wstring root = Wide(tree.Root());
    CLinkSurveyDlg dlg;
    dlg.Create(nullptr);
    theApp.m_pMainWnd = &dlg;
    dlg.m_strFolder = root;
    PumpPending();
    std::vector<std::wstring> links;
    WalkLinks(root, &links);
    const int processors = [] {
        SYSTEM_INFO system = {};
        ::GetSystemInfo(&system);
        return static_cast<int>(system.dwNumberOfProcessors);
    }();
    for (int readers : {1, std::min(std::max(processors, 2), 4)}) {
        g_nLinkReaders = readers;
        // Both once first, so that neither pays alone for loading the system's
        // code, for the file cache or for starting the readers; then in turn.
        const double firstBare = Timed([&] { BareRead(root); });
        const double firstSurvey = TimeSurvey(dlg);
        std::vector<double> bares, surveys;
        double longest = 0;
        for (int round = 0; round < kRounds; ++round) {
            bares.push_back(Timed([&] { BareRead(root); }));
            surveys.push_back(TimeSurvey(dlg));
        }
        const double cpu = g_surveyCpuMs, windowCpu = g_windowCpuMs;
        TimeSurvey(dlg, &longest);
        const int rows = dlg.m_listCtrl.GetItemCount();
        const double bare = Median(bares), survey = Median(surveys);
        std::printf("%d reader%s: survey %.0f ms (%d rows), bare %.0f ms, ratio survey / bare = %.3f"
                    "  (medians of %d rounds)\n",
                    readers, readers == 1 ? "" : "s", survey, rows, bare, survey / bare, kRounds);
        std::printf("  rounds (bare / survey ms):");
        for (int round = 0; round < kRounds; ++round) std::printf("  %.0f / %.0f", bares[round], surveys[round]);
        std::printf("\n  first round: %.0f / %.0f; longest the window took to answer a message: %.0f ms"
                    " (%.0f ms after F5; %.0f ms once F5 itself, which empties the last table, was answered);"
                    " the window's process used %.0f ms of processor time in the last survey, its thread %.0f ms\n",
                    firstBare, firstSurvey, longest, g_longestAtMs, g_longestAfterStartMs, cpu, windowCpu);
        std::fflush(stdout);
    }
    g_nLinkReaders = 0;
    theApp.m_pMainWnd = nullptr;

    // The bare read's parts, each once.
    const double walk = Timed([&] { std::vector<std::wstring> found; WalkLinks(root, &found); });
    const double surveyWalk = Timed([&] {
        CSurveyRun run({root}, nullptr, 0);
        // Something must take the links: a full queue holds the walk back.
        std::thread take([&run] {
            std::vector<FoundLink> batch;
            while (run.Links().PopBatch(&batch, 1000, 0) != CLinkQueue::Taken::kEnd) batch.clear();
        });
        run.Walk();
        take.join();
    });
    const double check = Timed([&] { CheckEach(links); });
    const double load = Timed([&] { ReadWithOneObject(links, true); });
    const double reading = Timed([&] { ReadWithOneObject(links); });
    std::printf("bare's parts: walk %.0f ms, open and check each file %.0f ms, load %.0f ms, "
                "Resolve and the getters %.0f ms; the survey's walk alone %.0f ms\n",
                walk, check, load, reading - load, surveyWalk);
}

void RunSurveyBenchmark(int size)
{
    const int links = size > 0 ? size : 2000;
    ComScope com;
    TempTree tree;
    MakeTree(tree, links);
    std::printf("tree: %d links in %d folders\n", links, (links + kLinksPerFolder - 1) / kLinksPerFolder);
    RunSurveyOn(tree);
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
    RunSurveyOn(tree);
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
    RunSurveyOn(tree);
}
// SIZE good links and ten whose Resolve never returns, among them: each of
// those costs a reader and the time limit, while the other readers go on.
void RunHangingBenchmark(int size)
{
    const int links = size > 0 ? size : 200;
    constexpr int kHanging = 10;
    ComScope com;
    TempTree tree;
    MakeTree(tree, links);
    const std::string hanging = LinkWithTinyItems(FileBytesW(RealLinksFolder() + L"\\ez-winxp-Calculator.lnk"), 24, 0x42);
    for (int i = 0; i < kHanging; ++i) {
        WriteTextFile(tree.Path("folder" + std::to_string(i % ((links + kLinksPerFolder - 1) / kLinksPerFolder)) +
                                "\\hanging" + std::to_string(i) + ".lnk"),
                      hanging);
    }
    CLinkSurveyDlg dlg;
    dlg.Create(nullptr);
    theApp.m_pMainWnd = &dlg;
    dlg.m_strFolder = Wide(tree.Root());
    PumpPending();
    double longest = 0;
    const double took = TimeSurvey(dlg, &longest);
    std::printf("tree: %d links and %d whose Resolve never returns; time limit %lu ms a step\n", links, kHanging,
                static_cast<unsigned long>(kReadTimeLimitMs));
    std::printf("survey: %.0f ms, %d rows; longest the window took to answer a message: %.0f ms\n", took,
                dlg.m_listCtrl.GetItemCount(), longest);
    theApp.m_pMainWnd = nullptr;
}
}  // namespace

LIRVAN_BENCHMARK("survey", RunSurveyBenchmark);
LIRVAN_BENCHMARK("bigtree", RunBigTreeBenchmark);
LIRVAN_BENCHMARK("reallinks", RunRealLinksBenchmark);
LIRVAN_BENCHMARK("hanging", RunHangingBenchmark);
