// Resource identifiers of the error reporter (plain defines: windres reads
// this file too).
#pragma once

#define IDS_REPORTER_CLASS 109
#define IDS_REPORTER_TITLE 129
#define IDD_ABNORMAL_TERMINATION 130
#define IDD_REPORT_COMMENTS 131
#define IDD_ERROR_REPORT 132
#define IDC_ERROR_ICON 1200
#define IDC_DONT_ASK_AGAIN 1201
#define IDC_REPORT_COMMENTS 1202
