#pragma once
// Control identifiers of the two address book dialogs; each control's
// objectName is its number ("1071"), labels are "label" + the number.

namespace korva::addressbook {

inline constexpr int IDD_ADDRESS_BOOK = 103;
inline constexpr int IDD_ADDRESS_ENTRY = 106;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Fax Address Book dialog.
inline constexpr int IDC_ENTRY_LIST = 1000;
inline constexpr int IDC_ADD_TO_RECIPIENTS = 1004;
inline constexpr int IDC_FAX_ONLY = 1026;
inline constexpr int IDC_VIEW_EDIT = 1029;
inline constexpr int IDC_NEW_ENTRY = 1031;
inline constexpr int IDC_DELETE_ENTRY = 1032;
inline constexpr int IDC_REFRESH = 1054;
inline constexpr int IDC_SEARCH_NAME = 1071;
inline constexpr int IDC_SEARCH_NUMBER = 1072;
inline constexpr int IDC_SEARCH_COMPANY = 1073;
inline constexpr int IDC_LETTER_A = 1100;  // ... 1125 for Z
inline constexpr int IDC_LETTER_ALL = 1126;

// Address Book Entry dialog.
inline constexpr int IDC_ADD_TO_FAX_RECIPIENTS = 1004;
inline constexpr int IDC_EDIT_ENTRY = 1029;
inline constexpr int IDC_DISPLAY_NAME = 1034;
inline constexpr int IDC_GIVEN_NAME = 1035;
inline constexpr int IDC_INITIALS = 1036;
inline constexpr int IDC_SURNAME = 1037;
inline constexpr int IDC_TITLE = 1038;
inline constexpr int IDC_COMPANY = 1039;
inline constexpr int IDC_DEPARTMENT = 1040;
inline constexpr int IDC_ADDRESS = 1041;
inline constexpr int IDC_STATE = 1043;
inline constexpr int IDC_POSTCODE = 1045;
inline constexpr int IDC_TELEPHONE = 1047;
inline constexpr int IDC_FAX = 1048;
inline constexpr int IDC_MOBILE = 1049;
inline constexpr int IDC_EMAIL = 1050;
inline constexpr int IDC_COUNTRY = 1102;
inline constexpr int IDC_CITY = 1111;

}  // namespace korva::addressbook
