#pragma once
// Numeric identifiers of the dialogs' controls. Each control's objectName is
// its number as decimal text ("1006"), so tests and automation find it with
// findChild<QWidget*>("1006"). A label that belongs to a control is named
// "label" plus that number ("label1006"); the separator line is "separator".

namespace korva::app {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Send Fax dialog (template 101).
inline constexpr int IDC_RECIPIENT_LIST = 1000;
inline constexpr int IDC_RECIPIENT_NAME = 1001;
inline constexpr int IDC_RECIPIENT_COMPANY = 1002;
inline constexpr int IDC_RECIPIENT_FAX = 1003;
inline constexpr int IDC_ADD_RECIPIENT = 1004;
inline constexpr int IDC_REMOVE_RECIPIENT = 1005;
inline constexpr int IDC_SUBJECT = 1006;
inline constexpr int IDC_TOTAL_PAGES = 1007;
inline constexpr int IDC_CONFIGURE = 1008;
inline constexpr int IDC_VIEW_ADDRESS_BOOK = 1019;
inline constexpr int IDC_REPLACE_RECIPIENT = 1020;
inline constexpr int IDC_PREVIEW = 1022;
inline constexpr int IDC_COMMENTS = 1023;
inline constexpr int IDC_DOCUMENT_LIST = 1056;
inline constexpr int IDC_DELETE_DOCUMENT = 1057;
inline constexpr int IDC_HIDDEN_EDIT_VIEW = 1062;
inline constexpr int IDC_COVER_PAGE_LIST = 1068;
inline constexpr int IDC_COVER_PAGE_LABEL = 1069;

// Configure dialog (template 102).
inline constexpr int IDC_FAX_NUMBER = 1003;
inline constexpr int IDC_SERVER = 1010;
inline constexpr int IDC_USERNAME = 1011;
inline constexpr int IDC_PASSWORD = 1012;
inline constexpr int IDC_REAL_NAME = 1013;
inline constexpr int IDC_PHONE_NUMBER = 1014;
inline constexpr int IDC_COMPANY = 1015;
inline constexpr int IDC_EMAIL_ADDRESS = 1017;
inline constexpr int IDC_FAX_ADDRESS = 1018;
inline constexpr int IDC_COVER_PAGES = 1067;
inline constexpr int IDC_SMTP_PORT = 1075;
inline constexpr int IDC_POP3_PORT = 1076;
inline constexpr int IDC_LDAP_PORT = 1077;
inline constexpr int IDC_ENCRYPTION = 1078;
inline constexpr int IDC_ENCRYPTION_WARNING = 1079;
inline constexpr int IDC_ADVANCED = 1090;  // shows the two directory names
inline constexpr int IDC_LDAP_BASE_DN = 1091;
inline constexpr int IDC_LDAP_BIND_DN = 1092;

// Progress dialog (template 105).
inline constexpr int IDC_PROGRESS_BAR = 1025;

// Dialog templates, kept as the dialogs' numbers in logs.
inline constexpr int IDD_SEND_FAX = 101;
inline constexpr int IDD_CONFIGURE = 102;
inline constexpr int IDD_PROGRESS = 105;

}  // namespace korva::app
