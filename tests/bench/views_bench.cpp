// Sorting and exporting a big table.
//   SIZE: number of rows (0: 20,000).
#include <cstdio>
#include <string>

#include "app/LinkSurveyApp.h"
#include "app/ProgramFolder.h"
#include "bench/Benchmark.h"
#include "export/CsvExport.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"
#include "support/TestHelpers.h"

namespace {
void FillHidden(CListCtrl& list, int rows)
{
    // A visible list under Wine takes about a hundred rows a second.
    list.ShowWindow(SW_HIDE);
    for (int i = 0; i < rows; ++i) {
        // Scrambled so the sort has work to do.
        const unsigned key = (static_cast<unsigned>(i) * 2654435761u) % 1000003u;
        const std::string path = "C:\\Users\\user\\Desktop\\folder" + std::to_string(key % 97) + "\\link" +
                                 std::to_string(key) + ".lnk";
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>(path.c_str());
        const int row = list.InsertItem(item);
        list.SetItemText(row, 1, "C:\\Program Files\\Tool\\tool.exe");
        list.SetItemText(row, 2, "/open,/quiet");
        list.SetItemText(row, 3, "C:\\Program Files\\Tool");
        list.SetItemText(row, 4, "Ctrl + Alt + T");
        list.SetItemText(row, 5, "通常のウィンドウ");
        list.SetItemText(row, 6, "C:\\Program Files\\Tool\\tool.exe");
        list.SetItemText(row, 7, std::to_string(key % 10).c_str());
        list.SetItemData(row, key & 0xFFFF);
    }
    list.ShowWindow(SW_SHOW);
}

void RunViewsBenchmark(int size)
{
    const int rows = size > 0 ? size : 20000;
    CLinkSurveyDlg dlg;
    dlg.Create(nullptr);
    theApp.m_pMainWnd = &dlg;
    PumpPending();
    double start = BenchNowMs();
    FillHidden(dlg.m_listCtrl, rows);
    std::printf("table: %d rows (filled hidden in %.0f ms, then shown)\n", rows, BenchNowMs() - start);

    NMLISTVIEW click = {};
    click.hdr.hwndFrom = dlg.m_listCtrl.m_hWnd;
    click.hdr.idFrom = IDC_LINK_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 0;
    start = BenchNowMs();
    ::SendMessageA(dlg.m_hWnd, WM_NOTIFY, IDC_LINK_LIST, reinterpret_cast<LPARAM>(&click));
    ::UpdateWindow(dlg.m_listCtrl);
    std::printf("sort by the path column (descending, repainted): %8.0f ms\n", BenchNowMs() - start);

    CString folder;
    GetProgramFolder(&folder);
    start = BenchNowMs();
    WriteCsvFile(folder, BuildCsvText(dlg.m_listCtrl));
    std::printf("export to shlink.txt:                            %8.0f ms\n", BenchNowMs() - start);

    start = BenchNowMs();
    const CStringW text = BuildCsvTextW(dlg.m_listCtrl);
    const double built = BenchNowMs() - start;
    CopyTextToClipboard(dlg.m_hWnd, text);
    std::printf("export to the clipboard:                         %8.0f ms (%.0f ms of it reading the table)\n",
                BenchNowMs() - start, built);

    start = BenchNowMs();
    dlg.MarkSharedKeys();
    std::printf("marks of shared keys worked out again:           %8.0f ms\n", BenchNowMs() - start);
    start = BenchNowMs();
    dlg.m_listCtrl.DeleteAllItems();
    std::printf("table emptied (as a survey starts):              %8.0f ms\n", BenchNowMs() - start);
    theApp.m_pMainWnd = nullptr;
}
}  // namespace

LIRVAN_BENCHMARK("views", RunViewsBenchmark);
