// The files that the last survey found but could not read, each with the reason
// in the user's words, in a dialog that copies them to the clipboard.
#pragma once
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "survey/SurveyResults.h"

// Why a file is not in the table: not a link file; damaged, and what the check
// found; not opened, with the system's message; refused by the service, with
// its status; the service crashed, did not answer in time or took too much
// memory on it; no reader could be started, with the system's message.
CStringW UnreadReason(const UnreadFile& file);

// One line per file: its path, a tab and the reason, each line ended by "\r\n".
CStringW UnreadFilesText(const std::vector<UnreadFile>& files);

class CUnreadFilesDlg : public CDialog {
public:
    CUnreadFilesDlg(const std::vector<UnreadFile>& files, CWnd* parent);
    ~CUnreadFilesDlg() override;

    CListCtrl m_list;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCopy();

private:
    const std::vector<UnreadFile>& m_files;  // the survey's, unchanged while the dialog runs

    DECLARE_MESSAGE_MAP()
};
