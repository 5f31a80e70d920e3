// Ids of the texts in the language file.
#pragma once

namespace kw {

enum TextId : int {
  TXT_LANGUAGE_GROUP = 1,        // group box of the Language Selection dialog
  TXT_CAPTION = 5,               // caption of the start question and More Info
  TXT_COLUMN_CATEGORY = 10,      // list column 0; More Info label 1
  TXT_COLUMN_NAME = 15,          // list column 1; More Info label 2
  TXT_COLUMN_DATA = 20,          // list column 2; More Info label 3
  TXT_BUTTON_OPTIONS = 25,
  TXT_STATUS_IDLE = 30,
  TXT_BUTTON_MORE_INFO = 32,
  TXT_BUTTON_START_SEARCH = 35,
  TXT_BUTTON_REMOVE = 40,
  TXT_STATUS_SEARCHING = 50,
  TXT_CATEGORY_FIRST = 55,       // category i: 55 + 5 * i, up to 110
  TXT_STATUS_FOUND = 115,        // one integer: number of entries
  TXT_STATUS_WAITING = 117,      // while another clean-up runs
  TXT_BUTTON_DELETE = 120,
  TXT_CHECKING = 125,            // one text: the key path
  TXT_OPTIONS_CHANGED_1 = 130,
  TXT_OPTIONS_CHANGED_2 = 135,
  TXT_DELETED_1 = 140,           // one integer: number of entries deleted
  TXT_NOT_DELETED = 142,         // one integer: number of entries not deleted
  TXT_DELETED_2 = 145,
  TXT_BACKUP_NOT_WRITTEN = 146,  // followed by the file name
  TXT_BACKUP_KEEPS_UNDELETED = 147,  // followed by the file name
  TXT_BACKUP_NOT_OPENED = 148,   // followed by the file name
  TXT_NOT_REGISTRY_FILE = 149,   // followed by the file name
  TXT_NO_SELECTION = 150,
  TXT_BACKUP_REFUSED = 151,      // followed by the reason, which names the file
  TXT_LOOP_1 = 152,
  TXT_LOOP_2 = 153,
  TXT_LOOP_3 = 154,
  TXT_AUTOSTART_1 = 156,
  TXT_AUTOSTART_2 = 158,
  TXT_OPTIONS_TITLE = 160,
  TXT_OPTIONS_KIND_GROUP = 165,
  TXT_OPTIONS_DESCRIPTION = 170,
  TXT_OPTIONS_MORE_GROUP = 175,
  TXT_OPTIONS_BREAK_DOWN = 180,
  TXT_OPTIONS_AUTOSTART = 182,
  TXT_OPTIONS_DAYS = 183,
  TXT_OPTIONS_CANCEL = 185,
  TXT_WELCOME_HEADING = 190,
  TXT_WELCOME_INTRO = 192,
  TXT_WELCOME_FEATURES = 194,
  TXT_MENU_FILE = 200,
  TXT_MENU_NEW_SEARCH = 205,
  TXT_MENU_OPTIONS = 210,
  TXT_MENU_REVERSE = 215,
  TXT_MENU_LANGUAGE = 217,
  TXT_MENU_EXIT = 220,
  TXT_MENU_HELP = 245,           // also the Options dialog's Help button
  TXT_MENU_HELP_FILE = 250,
  TXT_MENU_WEBSITE = 255,
  TXT_WEBSITE_REFUSED = 256,     // followed by the "Homepage" setting
  TXT_WEBSITE_TO_COPY = 257,     // followed by the address
  TXT_MENU_ABOUT = 260,
  TXT_MENU_COPY = 265,           // the results list's context menu
  TXT_CLIPBOARD_BUSY = 266,      // Copy could not open the clipboard
};

constexpr int CategoryTextId(int category) { return TXT_CATEGORY_FIRST + 5 * category; }

}  // namespace kw
