// The table as comma-separated text: shlink.txt beside the program, the
// clipboard, the boxes in front of both, and opening shlink.txt.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "app/ProgramFolder.h"
#include "framework/StdioFile.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/LinkFiles.h"
#include "support/Seam.h"
#include "export/SpreadsheetCsv.h"
#include "survey/ShellLink.h"
#include "survey/UnreadFilesDlg.h"

namespace {
bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

const UINT kProbeFormat = ::RegisterClipboardFormatA("LirvanTestProbe");

// Replaces the clipboard's contents with a text (in the code page and in UTF-16,
// as another program leaves it) and a private format.
void SeedClipboard(const std::string& text)
{
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const std::wstring wide(text.begin(), text.end());
    const std::pair<UINT, std::string> blocks[] = {
        {CF_TEXT, text + '\0'}, {kProbeFormat, text + '\0'},
        {CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * 2)}};
    for (const auto& [format, bytes] : blocks) {
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(::GlobalLock(block), bytes.data(), bytes.size());
        ::GlobalUnlock(block);
        ::SetClipboardData(format, block);
    }
    ::CloseClipboard();
}

class CsvExportTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        CString folder;
        ASSERT_TRUE(GetProgramFolder(&folder));
        m_csvPath = folder.str() + "shlink.txt";
        RemoveCsvFile();
    }
    void TearDown() override
    {
        RemoveCsvFile();
        MainWindowTest::TearDown();
    }
    void RemoveCsvFile()
    {
        ::SetFileAttributesA(m_csvPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(m_csvPath.c_str());
    }

    std::string m_csvPath;
};

const char kSaveQuestion[] = "Lirvan と同じフォルダに shlink.txt として保存します";
const char kCopyQuestion[] = "表示中のデータを CSV 形式でクリップボードにコピーします";

const TableRow kLetters = {"a", "b", "c", "d", "e", "f", "g", "h"};
const TableRow kComma = {"C:\\表\\x.lnk", "C:\\p.exe", "/a,/b", "", "Ctrl + Alt + A", "最小化", "", "0"};
const TableRow kLong = {std::string(300, 'L') + "!", "", "", "", "", "", "", "12"};
const TableRow kEmpty = {};

// One line per row: the cells joined by commas as they stand, then the line end.
std::string Lines(const std::vector<TableRow>& rows, const char* lineEnd)
{
    std::string text;
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) text += row[i] + (i < 7 ? "," : lineEnd);
    }
    return text;
}

TEST(ExportFolder, CutsAfterTheLastRealBackslashOfTheProgramPath)
{
    struct Case {
        const char* path;
        const char* folder;
    };
    // 表 is 0x95 0x5C: its second byte is no separator.
    const Case cases[] = {
        {"C:\\Tools\\Lirvan.exe", "C:\\Tools\\"},
        {"C:\\表\\Lirvan.exe", "C:\\表\\"},
        {"C:\\Tools\\表.exe", "C:\\Tools\\"},
        {"C:\\ソフト表", "C:\\"},
        {"表", ""},
        {"Lirvan.exe", ""},
        {"C:\\", "C:\\"},
        {"C:\\a\x95", "C:\\"},  // a lead byte at the very end stays inside the text
    };
    for (const Case& c : cases) EXPECT_EQ(std::string(c.folder), FolderOfPath(c.path).str()) << Utf8(c.path);
}

TEST(ExportFileErrors, OsErrorsBecomeTheFrameworkCausesAndTexts)
{
    struct Case {
        LONG osError;
        int cause;
        const char* text;
    };
    const Case cases[] = {
        {ERROR_FILE_NOT_FOUND, 2, "X:\\shlink.txt が見つかりませんでした。"},
        {ERROR_PATH_NOT_FOUND, 3, "X:\\shlink.txt には無効なﾊﾟｽが含まれています。"},
        {ERROR_TOO_MANY_OPEN_FILES, 4, "開いているﾌｧｲﾙが多すぎるため、X:\\shlink.txt を開けませんでした。"},
        {ERROR_ACCESS_DENIED, 5, "X:\\shlink.txt へのｱｸｾｽは拒否されました。"},
        {ERROR_SHARING_VIOLATION, 11, "X:\\shlink.txt へのｱｸｾｽ中に共有違反が発生しました。"},
        {ERROR_LOCK_VIOLATION, 12, "X:\\shlink.txt へのｱｸｾｽ中にﾛｯｸ違反が発生しました。"},
        {ERROR_DISK_FULL, 13, "X:\\shlink.txt へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。"},
        {ERROR_INVALID_PARAMETER, 1, "X:\\shlink.txt へのｱｸｾｽ中に不明なｴﾗｰが発生しました。"},
    };
    for (const Case& c : cases) {
        const CFileException error(CFileException::OsErrorToException(c.osError), c.osError, "X:\\shlink.txt");
        EXPECT_EQ(c.cause, error.m_cause) << "OS error " << c.osError;
        EXPECT_EQ(Utf8(c.text), Utf8(error.GetErrorMessage().str())) << "OS error " << c.osError;
    }
}

// A device that takes no byte: the write of a text longer than the stream's buffer
// fails, and that is "disk full".
TEST(ExportFileErrors, AFailingWriteOrCloseRaisesDiskFullWithTheFileName)
{
    const char* device = "Z:\\dev\\full";
    const UINT flags = CStdioFile::typeText | CStdioFile::modeCreate | CStdioFile::shareDenyWrite | CStdioFile::modeWrite;
    CFileException error;
    if (!CStdioFile().Open(device, flags, &error)) GTEST_SKIP() << "no full device here (OS error " << error.m_lOsError << ")";

    struct Case {
        std::string text;
        bool failsOnWrite;
    };
    for (const Case& c : {Case{std::string(100000, 'x'), true}}) {
        int failedAt = 0, cause = -1;
        std::string name;
        try {
            CStdioFile file(device, flags);
            failedAt = 1;
            file.WriteString(c.text.c_str());
            failedAt = 2;
            file.Close();
            failedAt = 3;
        } catch (const CFileException& e) {
            cause = e.m_cause;
            name = e.m_strFileName.str();
        }
        EXPECT_EQ(c.failsOnWrite ? 1 : 2, failedAt) << c.text.size() << " bytes";
        EXPECT_EQ(CFileException::diskFull, cause);
        EXPECT_EQ("Z:\\dev\\full", name);
    }
}

TEST_F(CsvExportTest, SaveWritesEveryRowAsItStandsWithCrLfAfterAskingWithCancelAsDefault)
{
    const std::vector<TableRow> rows = {kLetters, kComma, kLong, kEmpty};
    for (const auto& row : rows) AddTableRow(List(), row);
    const auto boxes = CommandAnswering(ID_FILE_SAVE_CSV, {IDOK});
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kSaveQuestion, boxes[0].text);
    EXPECT_EQ(IDCANCEL, boxes[0].defaultButton);
    EXPECT_EQ(Main(), boxes[0].owner);

    const std::string expected = "a,b,c,d,e,f,g,h\r\n"
                                 "C:\\表\\x.lnk,C:\\p.exe,/a,/b,,Ctrl + Alt + A,最小化,,0\r\n" +
                                 std::string(300, 'L') + "!,,,,,,,12\r\n"
                                 ",,,,,,,\r\n";
    EXPECT_EQ(expected, FileBytes(m_csvPath));
    EXPECT_EQ(Lines(rows, "\r\n"), FileBytes(m_csvPath));
}

TEST_F(CsvExportTest, CopyReplacesTheClipboardWithTheTextInTheCodePageAndInUnicode)
{
    SeedClipboard("before");
    const std::vector<TableRow> rows = {kLetters, kComma, kLong, kEmpty};
    for (const auto& row : rows) AddTableRow(List(), row);
    // A name the code page cannot spell: exact in Unicode, the code page's
    // replacement in CF_TEXT.
    const std::wstring odd = L"C:\\Zo\u00eb \u2122\\Caf\u00e9 \u00ae \u30c6\u30b9\u30c8.lnk";
    const int oddRow = AddTableRow(List(), TableRow());
    dlg->m_listCtrl.SetItemText(oddRow, 0, odd.c_str());
    const auto boxes = CommandAnswering(ID_FILE_COPY_CSV, {IDOK});
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kCopyQuestion, boxes[0].text);
    EXPECT_EQ(IDCANCEL, boxes[0].defaultButton);

    const std::string oddBytes = Cell(oddRow, 0);
    ASSERT_EQ(std::string::npos, oddBytes.find("\xc3")) << "not converted to the code page";
    const ClipboardBlock text = ReadClipboard(CF_TEXT);
    ASSERT_TRUE(text.present);
    EXPECT_EQ(Lines(rows, "\n") + oddBytes + ",,,,,,,\n" + '\0', text.bytes)
        << "the block is the text, its zero, nothing more";
    EXPECT_EQ(std::string("a,b,c,d,e,f,g,h\n"), text.bytes.substr(0, 16));

    const ClipboardBlock unicode = ReadClipboard(CF_UNICODETEXT);
    ASSERT_TRUE(unicode.present) << "Unicode programs paste the old text";
    const std::string table = Lines(rows, "\n");
    const std::wstring expected = std::wstring(AnsiToWide(table.c_str()).c_str()) + odd + L",,,,,,,\n";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expected.c_str()), (expected.size() + 1) * 2), unicode.bytes);
    EXPECT_FALSE(ReadClipboard(kProbeFormat).present) << "the clipboard was not emptied";
}

TEST_F(CsvExportTest, TheUnreadFilesDialogListsAndCopiesPathTabReasonLines)
{
    const std::vector<UnreadFile> files = {
        {CStringW(L"C:\\t\\Zo\u00eb.lnk"), kNotALink, LinkCheckResult::kNoLinkHeader},
        {CStringW(L"C:\\t\\b.lnk"), kDamagedLink, LinkCheckResult::kItemPastIdList}};
    CUnreadFilesDlg unread(files, dlg.get());
    ASSERT_TRUE(unread.Create(Main()));
    EXPECT_EQ(2, unread.m_list.GetItemCount());
    EXPECT_EQ(L"C:\\t\\Zo\u00eb.lnk", unread.m_list.GetItemTextW(0, 0).str()) << "beyond the code page, exactly";
    EXPECT_EQ(UnreadReason(files[1]).str(), unread.m_list.GetItemTextW(1, 1).str());
    ::SendMessageA(unread.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_UNREAD_COPY, BN_CLICKED), 0);
    const std::wstring expected = L"C:\\t\\Zo\u00eb.lnk\t" + UnreadReason(files[0]).str() + L"\r\nC:\\t\\b.lnk\t" +
                                  UnreadReason(files[1]).str() + L"\r\n";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expected.c_str()), (expected.size() + 1) * 2),
              ReadClipboard(CF_UNICODETEXT).bytes);
    unread.DestroyWindow();
}

TEST_F(CsvExportTest, TheExportFollowsTheSortedOrder)
{
    for (const char* name : {"b", "c", "a"}) AddTableRow(List(), RowWithCell(0, name));
    SendColumnClick(Main(), List(), 0);
    std::vector<TableRow> shown;
    for (int row = 0; row < RowCount(); ++row) shown.push_back(Row(row));
    ASSERT_NE("b", shown[0][0]) << "the sort did not reorder the table";

    CommandAnswering(ID_FILE_SAVE_CSV, {IDOK});
    EXPECT_EQ(Lines(shown, "\r\n"), FileBytes(m_csvPath));
    CommandAnswering(ID_FILE_COPY_CSV, {IDOK});
    EXPECT_EQ(Lines(shown, "\n") + '\0', ReadClipboard(CF_TEXT).bytes);
}

TEST_F(CsvExportTest, SavingAgainReplacesTheFile)
{
    for (const auto& row : {kLetters, kComma, kLong}) AddTableRow(List(), row);
    CommandAnswering(ID_FILE_SAVE_CSV, {IDOK});
    ::SendMessageA(List(), LVM_DELETEALLITEMS, 0, 0);
    AddTableRow(List(), RowWithCell(0, "only"));
    CommandAnswering(ID_FILE_SAVE_CSV, {IDOK});
    EXPECT_EQ("only,,,,,,,\r\n", FileBytes(m_csvPath));
}

TEST_F(CsvExportTest, AnEmptyTableIsRefusedBeforeAnyQuestion)
{
    for (UINT command : {ID_FILE_SAVE_CSV, ID_FILE_COPY_CSV}) {
        SCOPED_TRACE(command);
        SeedClipboard("before");
        const auto boxes = CommandAnswering(command, {IDOK});
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("データが空です", boxes[0].text);
        EXPECT_EQ(IDOK, boxes[0].defaultButton);
        EXPECT_FALSE(FileExists(m_csvPath));
        EXPECT_EQ(std::string("before") + '\0', ReadClipboard(CF_TEXT).bytes);
    }
}

TEST_F(CsvExportTest, EnterOnTheQuestionCancelsAndLeavesFileAndClipboardAsTheyWere)
{
    AddTableRow(List(), kLetters);
    WriteTextFile(m_csvPath, "kept\r\n");
    SeedClipboard("before");
    for (UINT command : {ID_FILE_SAVE_CSV, ID_FILE_COPY_CSV}) {
        SCOPED_TRACE(command);
        const auto boxes = CommandAnswering(command, {0});
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(IDCANCEL, boxes[0].defaultButton);
    }
    EXPECT_EQ("kept\r\n", FileBytes(m_csvPath));
    EXPECT_EQ(std::string("before") + '\0', ReadClipboard(CF_TEXT).bytes);
    EXPECT_TRUE(ReadClipboard(kProbeFormat).present);
}

TEST_F(CsvExportTest, AFileThatCannotBeWrittenIsReportedWithTheFrameworkTextAndTheFullPath)
{
    AddTableRow(List(), kLetters);
    char expected[1024];

    // Held open by a reader that denies writing: a sharing violation, and the file as it was.
    WriteTextFile(m_csvPath, "kept\r\n");
    HANDLE reader = ::CreateFileA(m_csvPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    auto boxes = CommandAnswering(ID_FILE_SAVE_CSV, {IDOK, IDOK});
    ::CloseHandle(reader);
    snprintf(expected, sizeof expected, "%s へのｱｸｾｽ中に共有違反が発生しました。", m_csvPath.c_str());
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(Utf8(expected), Utf8(boxes[1].text));
    EXPECT_EQ("kept\r\n", FileBytes(m_csvPath));

    // Access denied. Wine run as root writes read-only files and folders alike, so
    // the place that may not be written is a folder standing where the file goes.
    RemoveCsvFile();
    ASSERT_TRUE(::CreateDirectoryA(m_csvPath.c_str(), nullptr));
    boxes = CommandAnswering(ID_FILE_SAVE_CSV, {IDOK, IDOK});
    ::RemoveDirectoryA(m_csvPath.c_str());
    snprintf(expected, sizeof expected, "%s へのｱｸｾｽは拒否されました。", m_csvPath.c_str());
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(Utf8(expected), Utf8(boxes[1].text));
}

TEST_F(CsvExportTest, AClipboardHeldElsewhereIsReportedAndTheTextDropped)
{
    AddTableRow(List(), kLetters);
    SeedClipboard("before");
    HANDLE opened = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Holder {
        HANDLE opened, release;
    } holder = {opened, release};
    HANDLE thread = ::CreateThread(
        nullptr, 0,
        [](LPVOID param) -> DWORD {
            auto* h = static_cast<Holder*>(param);
            const BOOL ok = ::OpenClipboard(nullptr);
            ::SetEvent(h->opened);
            ::WaitForSingleObject(h->release, 30000);
            if (ok) ::CloseClipboard();
            return 0;
        },
        &holder, 0, nullptr);
    ::WaitForSingleObject(opened, 10000);

    const auto boxes = CommandAnswering(ID_FILE_COPY_CSV, {IDOK, IDOK});
    ::SetEvent(release);
    ::WaitForSingleObject(thread, 10000);
    for (HANDLE h : {thread, opened, release}) ::CloseHandle(h);

    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("クリップボードを使用できません", boxes[1].text);
    EXPECT_EQ(std::string("before") + '\0', ReadClipboard(CF_TEXT).bytes);
}

TEST_F(CsvExportTest, ViewOpensTheFileBesideTheProgramWhateverTheCurrentFolder)
{
    char temp[MAX_PATH] = {}, previous[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ::SetCurrentDirectoryA(temp);
    ShellRecorder shell;
    Command(ID_FILE_VIEW_LIST);
    ::SetCurrentDirectoryA(previous);

    ASSERT_EQ(1u, ShellRecorder::Calls().size());
    const ShellCall& call = ShellRecorder::Calls()[0];
    EXPECT_EQ(ProgramFolderOfTest() + "shlink.txt", call.file);
    EXPECT_EQ("open", call.verb);
    EXPECT_EQ(nullptr, call.owner);
    EXPECT_EQ(SW_SHOW, call.show);
    EXPECT_FALSE(call.hasParameters);
    EXPECT_FALSE(call.hasDirectory);
}
}  // namespace

namespace {
std::wstring g_savePath, g_saveFolder, g_saveName;
DWORD g_saveFlags;
BOOL WINAPI StandInSaveDialog(LPOPENFILENAMEW dialog)
{
    g_saveFolder = dialog->lpstrInitialDir ? dialog->lpstrInitialDir : L"";
    g_saveName = dialog->lpstrFile;
    g_saveFlags = dialog->Flags;
    lstrcpyW(dialog->lpstrFile, g_savePath.c_str());
    return TRUE;
}
// A disk that fills up halfway through the first write.
BOOL WINAPI FullDiskWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED)
{
    ::WriteFile(file, data, size / 2, done, nullptr);
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
// Fields of RFC 4180 text (quoted fields only, as the export writes them).
std::vector<std::string> ReadQuotedFields(const std::string& text, size_t* lines)
{
    std::vector<std::string> fields;
    *lines = 0;
    for (size_t at = 0; at < text.size();) {
        std::string field;
        for (++at; !(text[at] == '"' && (at + 1 == text.size() || text[at + 1] != '"')); ++at) {
            if (text[at] == '"') ++at;
            field += text[at];
        }
        fields.push_back(field);
        at += 1;
        if (text.compare(at, 2, "\r\n") == 0) ++*lines, at += 2;
        else if (text[at] == ',') ++at;
    }
    return fields;
}
}  // namespace

TEST_F(CsvExportTest, TheSpreadsheetExportKeepsEveryCellWholeRunsNoneAndLeavesNothingHalfWritten)
{
    // Each cell as the table holds it and as the file must carry it.
    const std::pair<std::wstring, std::wstring> cells[] = {
        {L"a,b", L"a,b"}, {L"say \"hi\"", L"say \"hi\""}, {L"two\r\nlines", L"two\r\nlines"},
        {L"Zo\u00eb \u2122 \u30c6", L"Zo\u00eb \u2122 \u30c6"}, {L"", L""}, {L"a=b", L"a=b"},
        {L"=1+2", L"'=1+2"}, {L"+A1", L"'+A1"}, {L"-k", L"'-k"}, {L"@SUM(A1)", L"'@SUM(A1)"},
        {L"\tx", L"'\tx"}, {L"\rx", L"'\rx"}, {L"\uff1d1", L"'\uff1d1"}, {L"'=x", L"'=x"}, {L"C:\\p", L"C:\\p"},
        {L"0", L"0"}};
    for (int row = 0; row < 2; ++row) {
        AddTableRow(List(), TableRow());
        for (int column = 0; column < 8; ++column) dlg->m_listCtrl.SetItemText(row, column, cells[row * 8 + column].first.c_str());
    }
    TempTree tree;
    g_savePath = Wide(tree.Path("shlink.csv"));
    ScopedSeam<SaveFileNameFunction> dialog(g_pfnGetSaveFileName, &StandInSaveDialog);
    Command(ID_FILE_SAVE_SPREADSHEET_CSV);

    WCHAR documents[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents);
    EXPECT_EQ(documents, g_saveFolder);
    EXPECT_EQ(L"shlink.csv", g_saveName);
    EXPECT_TRUE(g_saveFlags & OFN_OVERWRITEPROMPT);
    const std::string written = FileBytes(tree.Path("shlink.csv"));
    // Titles and all: UTF-8 whatever the code page.
    const std::string expected =
        u8"\xEF\xBB\xBF\"ショートカットのパス\",\"リンク先\",\"引数\",\"作業フォルダ\",\"ショートカットキー\","
        u8"\"実行時の大きさ\",\"アイコンのパス\",\"アイコンのインデックス\"\r\n"
        u8"\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"Zoë ™ テ\",\"\",\"a=b\",\"'=1+2\",\"'+A1\"\r\n"
        u8"\"'-k\",\"'@SUM(A1)\",\"'\tx\",\"'\rx\",\"'＝1\",\"'=x\",\"C:\\p\",\"0\"\r\n";
    EXPECT_EQ(expected, written);
    size_t lines = 0;
    const std::vector<std::string> fields = ReadQuotedFields(written.substr(3), &lines);
    ASSERT_EQ(24u, fields.size());
    EXPECT_EQ(3u, lines);
    for (size_t i = 0; i < 16; ++i) EXPECT_EQ(WideToUtf8(cells[i].second.c_str()), fields[8 + i]) << i;

    // A full disk: the file that was there stays whole, nothing else is left, the system says why.
    ScopedSeam<WriteFileFunction> disk(g_pfnWriteFile, &FullDiskWrite);
    const auto boxes = CommandAnswering(ID_FILE_SAVE_SPREADSHEET_CSV, {IDOK});
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find(WideToAnsi(SystemMessage(HRESULT_FROM_WIN32(ERROR_DISK_FULL))).str()));
    EXPECT_EQ(written, FileBytes(tree.Path("shlink.csv")));
    EXPECT_EQ(std::vector<std::wstring>{L"shlink.csv"}, NamesInW(Wide(tree.Root())));
}
