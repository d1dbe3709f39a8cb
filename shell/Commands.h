// The designer's commands: their ids, menu texts, shortcuts, prompts and
// toolbar pictures, the layout of the menus and toolbars, and the one table
// of rules that says when each command is enabled or checked. The main frame
// makes one QAction per command (object name "cmd_<id>") from this table.
#pragma once

#include <QString>
#include <vector>

enum CommandId : int
{
    // File
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_MRU_FIRST = 57616, // four recent files, 57616 to 57619
    ID_FILE_MRU_LAST = 57619,
    ID_FILE_PRINT = 32847,
    ID_EXPORT_TEXT = 32910,
    ID_EXPORT_ZIP = 32911,
    ID_IMPORT_ZIP = 32912,
    ID_SIGN_PROPERTIES = 32867,
    ID_LOG_OFF = 32904,
    ID_APP_EXIT = 57665,

    // Edit
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_EDIT_CUT = 57635,
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_DELETE = 32784,
    ID_EDIT_DUPLICATE = 32795,
    ID_ELEMENT_PROPERTIES = 32860,
    ID_SPELLING = 32868,

    // View
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_DRAW_TOOLBAR = 32796,
    ID_VIEW_LAYOUT_TOOLBAR = 32805,
    ID_VIEW_WHOLE_SIGN = 32783,
    ID_VIEW_FULL_SIZE = 32782,
    ID_TOOL_MAGNIFIER = 32779,
    ID_VIEW_GRID = 32816,
    ID_VIEW_RULER = 32815,
    ID_VIEW_MARGINS = 32811,
    ID_VIEW_SHADOW = 32899,

    // Insert (drawing tools)
    ID_TOOL_SELECT = 32775,
    ID_TOOL_LINE = 32776,
    ID_TOOL_BOX = 32777,
    ID_TOOL_ELLIPSE = 32778,
    ID_TOOL_TEXT = 32789,
    ID_TOOL_TEXT_BOX = 32916,
    ID_TOOL_ARC_TEXT = 32929,
    ID_TOOL_PRICE = 32797,
    ID_TOOL_PICTURE = 32799,
    ID_TOOL_BARCODE = 32848,
    ID_TOOL_SYMBOL = 32920,
    ID_TOOL_TABLE = 32926,
    ID_TOOL_OBJECT = 32913,

    // Layout
    ID_EDIT_ROTATE = 32785,
    ID_BRING_TO_FRONT = 32801,
    ID_SEND_TO_BACK = 32800,
    ID_ALIGN_LEFT = 32818,
    ID_ALIGN_RIGHT = 32819,
    ID_ALIGN_TOP = 32820,
    ID_ALIGN_BOTTOM = 32821,
    ID_ALIGN_VERT_CENTRE = 32824,
    ID_ALIGN_HORZ_CENTRE = 32823,
    ID_CENTRE_HORIZONTAL = 32813,
    ID_CENTRE_VERTICAL = 32814,
    ID_SAME_WIDTH = 32825,
    ID_SAME_HEIGHT = 32826,
    ID_SAME_SIZE = 32827,
    ID_SPACE_HORIZONTAL = 32828,
    ID_SPACE_VERTICAL = 32829,
    ID_SAME_TYPEFACE = 32854,
    ID_SAME_LINE_THICKNESS = 32855,
    ID_SAME_COLOURS = 32923,
    ID_CHANGE_SYMBOLOGY = 32909,
    ID_LAYOUT_GUIDES = 32817,

    // Sign: paper, headers and footers, price formats
    ID_PAPER_SELECT = 32842,
    ID_PAPER_NEW = 32845,
    ID_PAPER_EDIT = 32846,
    ID_PAPER_ROTATE = 32877,
    ID_HEADER_FOOTER = 32906,
    ID_PRICE_FORMAT_NEW = 32857,
    ID_PRICE_FORMAT_EDIT = 32858,
    ID_PRICE_FORMAT_DELETE = 32859,

    // Database
    ID_DATABASE_CONNECT = 32865,
    ID_DATABASE_PROPERTIES = 32852,
    ID_DATABASE_DISCONNECT = 32866,
    ID_DATABASE_CHANGE = 32927,
    ID_DATA_STORE_CREATE = 32907,
    ID_DATA_ENTRY_ORDER = 32853,
    ID_DATA_TREE = 32873,
    ID_RECORD_FILTER = 32773,

    // Options and preferences
    ID_OPTIONS_GRID = 32802,
    ID_OPTIONS_RULER = 32803,
    ID_OPTIONS_MARGINS = 32812,
    ID_PREF_GENERAL = 32834,
    ID_PREF_LINES = 32835,
    ID_PREF_BOXES = 32836,
    ID_PREF_ELLIPSES = 32837,
    ID_PREF_TEXT = 32838,
    ID_PREF_PRICES = 32840,
    ID_PREF_BARCODES = 32849,
    ID_PREF_PICTURES = 32841,
    ID_PREF_BULLETS = 32864,
    ID_PREF_SPELLING = 32869,
    ID_PREF_SYMBOLS = 32922,

    // Help
    ID_HELP_FINDER = 57667,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_DEFAULT_HELP = 57671,
    ID_WEB_PAGE = 32889,
    ID_APP_ABOUT = 57664,

    // Data entry (the data-entry toolbar and the print station)
    ID_PREVIEW_SINGLE = 32924,
    ID_PREVIEW_SHEET = 32925,
    ID_SWITCH_DOCKING = 32888,
    ID_DATA_CANCEL = 32809,
    ID_RECORD_PRINT_ALL = 32875,

    // Sent by panes and other windows; no menu item
    ID_PICTURE_RESAMPLE = 32810,
    ID_PICTURE_INVERT = 32850,
    ID_PICTURE_GREYSCALE = 32806,
    ID_OBJECT_EDIT = 32914,
    ID_OBJECT_OPEN = 32915,
    ID_SHOW_SIGN_SETTINGS = 32928,
};

// Status-bar panes, named "id<pane id>".
enum StatusPaneId : int
{
    ID_STATUS_POSITION = 32878,
    ID_STATUS_ZOOM = 32882,
};

// What the enable and check rules read. The frame fills in what it knows
// (toolbars, undo history, element list, paper, price formats, database
// link); the canvas, the pane and the other command targets add the rest.
// A value nobody fills keeps its default, which leaves its commands off.
struct CCommandState
{
    // The frame.
    bool dataEntryMode = false;
    bool mainToolBarVisible = false;
    bool drawToolBarVisible = false;
    bool layoutToolBarVisible = false;
    bool statusBarVisible = false;

    // The sign.
    int elementCount = 0;
    bool canUndo = false;
    bool canRedo = false;
    bool hasLinkedElements = false;   // some element takes data from a data path
    bool hasDataEntrySources = false; // typed elements or keyboard-fed variables
    bool dataPathsEmpty = true;
    int labelsPerPage = 1;
    int stockCount = 0;
    bool stockBuiltIn = true;
    int priceFormatCount = 0;
    bool databaseEngine = false;
    int linkKind = -1; // -1 none, 0 external database, 1 data store

    // The canvas.
    int toolMode = 0;
    int selectedCount = 0;
    int primaryType = -1; // the primary element's type code, -1 none
    bool clipboardHasElements = false;
    bool showGrid = false;
    bool showRuler = false;
    bool showMargins = false;
    bool showShadow = false;
    // The canvas lost the keyboard focus: the Select button shows released.
    bool selectToolReleased = false;

    // The program.
    bool spellingAvailable = false;
    bool userTableConfigured = false;
};

using CommandRule = bool (*)(const CCommandState& state);

struct CCommandInfo
{
    int id;
    const char* text;     // menu text with its mnemonic
    const char* shortcut; // portable key sequence text, or null
    const char* tip;      // tool tip; the menu text without "&" and "..." when null
    const char* prompt;   // status-bar prompt
    const char* icon;     // picture name in :/icons, or null
    CommandRule enabled;  // null: enabled whenever a command target takes it
    CommandRule checked;  // null: not a check item
};

// Every command, in no particular order.
const std::vector<CCommandInfo>& AllCommands();
// The command of an id, or null.
const CCommandInfo* FindCommand(int id);
// The tool tip of a command: its own, else the menu text without mnemonic
// and ellipsis.
QString CommandTip(const CCommandInfo& info);

// The menu bar. Depth 0 entries are the top-level menus; a titled entry
// of depth 1 opens a submenu whose items follow at depth 2. An entry with
// id 0 and no title is a separator. ID_FILE_MRU_FIRST stands for the four
// recent-file items.
struct CMenuEntry
{
    int depth;
    int id;
    const char* title;
};
const std::vector<CMenuEntry>& MenuLayout();

// The toolbars' buttons in order; 0 is a separator.
const std::vector<int>& MainToolBarButtons();
const std::vector<int>& DataEntryToolBarButtons();
const std::vector<int>& DrawToolBarButtons();
const std::vector<int>& LayoutToolBarButtons();

// A command-target: the frame, the canvas and the property pane in that
// order, then the program's own targets, are offered each command.
class CCommandTarget
{
public:
    virtual ~CCommandTarget() = default;
    // Whether this target carries the command out (the command's enable
    // rule still applies).
    virtual bool HandlesCommand(int id) const = 0;
    // Carries the command out; false when it did not take it after all.
    virtual bool OnCommand(int id) = 0;
    // Adds what this target knows to the state the rules read.
    virtual void FillCommandState(CCommandState& state) const { (void)state; }
};
