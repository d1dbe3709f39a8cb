#include "Commands.h"

#include "Element.h"

#include <algorithm>

namespace {

// Enable rules ----------------------------------------------------------

bool OneSelected(const CCommandState& s)
{
    return s.selectedCount >= 1;
}
bool TwoSelected(const CCommandState& s)
{
    return s.selectedCount >= 2;
}
bool ThreeSelected(const CCommandState& s)
{
    return s.selectedCount >= 3;
}
bool RotatableSelected(const CCommandState& s)
{
    return s.selectedCount >= 1 && s.primaryType != TYPE_OLE;
}
bool ObjectSelected(const CCommandState& s)
{
    return s.selectedCount >= 1 && s.primaryType == TYPE_OLE;
}
bool CanUndo(const CCommandState& s)
{
    return s.canUndo;
}
bool CanRedo(const CCommandState& s)
{
    return s.canRedo;
}
bool CanPaste(const CCommandState& s)
{
    return s.clipboardHasElements;
}
bool Spelling(const CCommandState& s)
{
    return s.spellingAvailable;
}
bool SeveralStocks(const CCommandState& s)
{
    return s.stockCount >= 2;
}
bool UserStock(const CCommandState& s)
{
    return !s.stockBuiltIn;
}
bool SeveralPriceFormats(const CCommandState& s)
{
    return s.priceFormatCount > 1;
}
bool CanConnect(const CCommandState& s)
{
    return s.databaseEngine && s.linkKind != 1;
}
bool HasLink(const CCommandState& s)
{
    return s.databaseEngine && s.linkKind != -1;
}
bool HasExternalLink(const CCommandState& s)
{
    return s.databaseEngine && s.linkKind == 0;
}
bool CanCreateStore(const CCommandState& s)
{
    return s.databaseEngine && s.linkKind == -1 && s.hasDataEntrySources;
}
bool HasLinkedElements(const CCommandState& s)
{
    return s.hasLinkedElements;
}
bool HasDataPaths(const CCommandState& s)
{
    return !s.dataPathsEmpty;
}
bool UserTable(const CCommandState& s)
{
    return s.userTableConfigured;
}
bool SheetOfSeveral(const CCommandState& s)
{
    return s.labelsPerPage >= 2;
}
bool InDataEntry(const CCommandState& s)
{
    return s.dataEntryMode;
}

// Check rules -----------------------------------------------------------

bool SelectTool(const CCommandState& s)
{
    return s.toolMode == 0 && s.elementCount > 0 && !s.selectToolReleased;
}
bool MagnifierTool(const CCommandState& s)
{
    return s.toolMode == 1;
}
bool LineTool(const CCommandState& s)
{
    return s.toolMode == 2 || s.toolMode == 3;
}
bool BoxTool(const CCommandState& s)
{
    return s.toolMode == 4 || s.toolMode == 5;
}
bool EllipseTool(const CCommandState& s)
{
    return s.toolMode == 6 || s.toolMode == 7;
}
bool TextTool(const CCommandState& s)
{
    return s.toolMode == 11;
}
bool TextBoxTool(const CCommandState& s)
{
    return s.toolMode == 12 || s.toolMode == 13;
}
bool PriceTool(const CCommandState& s)
{
    return s.toolMode == 14;
}
bool PictureTool(const CCommandState& s)
{
    return s.toolMode == 15;
}
bool BarcodeTool(const CCommandState& s)
{
    return s.toolMode == 16;
}
bool SymbolTool(const CCommandState& s)
{
    return s.toolMode == 18;
}
bool ArcTextTool(const CCommandState& s)
{
    return s.toolMode == 19 || s.toolMode == 20;
}
// OLE objects come only from signs made on Windows: none can be created.
bool Never(const CCommandState&)
{
    return false;
}
bool TableTool(const CCommandState& s)
{
    return s.toolMode == 21;
}
bool MainBar(const CCommandState& s)
{
    return s.mainToolBarVisible;
}
bool DrawBar(const CCommandState& s)
{
    return s.drawToolBarVisible;
}
bool LayoutBar(const CCommandState& s)
{
    return s.layoutToolBarVisible;
}
bool StatusBar(const CCommandState& s)
{
    return s.statusBarVisible;
}
bool Grid(const CCommandState& s)
{
    return s.showGrid;
}
bool Ruler(const CCommandState& s)
{
    return s.showRuler;
}
bool Margins(const CCommandState& s)
{
    return s.showMargins;
}
bool Shadow(const CCommandState& s)
{
    return s.showShadow;
}

// clang-format off
const std::vector<CCommandInfo> kCommands = {
    // id, menu text, shortcut, tool tip, prompt, picture, enabled, checked

    // File
    {ID_FILE_NEW, "&New", "Ctrl+N", nullptr, "Start a new sign", "new", nullptr, nullptr},
    {ID_FILE_OPEN, "&Open...", "Ctrl+O", nullptr, "Open a sign", "open", nullptr, nullptr},
    {ID_FILE_SAVE, "&Save", "Ctrl+S", nullptr, "Save the sign", "save", nullptr, nullptr},
    {ID_FILE_SAVE_AS, "Sa&ve As...", nullptr, nullptr, "Save the sign under a new name", nullptr, nullptr, nullptr},
    {ID_EXPORT_TEXT, "Export &As Text...", nullptr, "Text Export", "Write the sign's settings to a text file", "exporttext", nullptr, nullptr},
    {ID_EXPORT_ZIP, "&Export As Zip...", nullptr, nullptr, "Pack the sign and the files it uses into a zip file", "exportzip", nullptr, nullptr},
    {ID_IMPORT_ZIP, "&Import From Zip...", nullptr, nullptr, "Unpack a sign from a zip file", "importzip", nullptr, nullptr},
    {ID_FILE_PRINT, "&Print...", "Ctrl+P", nullptr, "Print the sign", "print", nullptr, nullptr},
    {ID_FILE_PRINT_SETUP, "P&rint Setup...", nullptr, nullptr, "Choose the printer and its settings", nullptr, nullptr, nullptr},
    {ID_SIGN_PROPERTIES, "Proper&ties...", nullptr, nullptr, "Title, author and description of the sign", nullptr, nullptr, nullptr},
    {ID_FILE_MRU_FIRST, "Recent File", nullptr, nullptr, "Open this sign", nullptr, nullptr, nullptr},
    {ID_FILE_MRU_FIRST + 1, "Recent File 2", nullptr, nullptr, "Open this sign", nullptr, nullptr, nullptr},
    {ID_FILE_MRU_FIRST + 2, "Recent File 3", nullptr, nullptr, "Open this sign", nullptr, nullptr, nullptr},
    {ID_FILE_MRU_FIRST + 3, "Recent File 4", nullptr, nullptr, "Open this sign", nullptr, nullptr, nullptr},
    {ID_LOG_OFF, "Log O&ff...", nullptr, nullptr, "Log off and let another user log on", nullptr, UserTable, nullptr},
    {ID_APP_EXIT, "E&xit", nullptr, nullptr, "Close the program", nullptr, nullptr, nullptr},

    // Edit
    {ID_EDIT_UNDO, "&Undo", "Ctrl+Z", nullptr, "Undo the last change", "undo", CanUndo, nullptr},
    {ID_EDIT_REDO, "R&edo", "Ctrl+Y", nullptr, "Do again what was undone", "redo", CanRedo, nullptr},
    {ID_EDIT_CUT, "Cu&t", "Ctrl+X", nullptr, "Move the selected elements to the clipboard", "cut", OneSelected, nullptr},
    {ID_EDIT_COPY, "&Copy", "Ctrl+C", nullptr, "Copy the selected elements to the clipboard", "copy", OneSelected, nullptr},
    {ID_EDIT_PASTE, "P&aste", "Ctrl+V", nullptr, "Insert the elements from the clipboard", "paste", CanPaste, nullptr},
    {ID_EDIT_DELETE, "&Delete", nullptr, nullptr, "Remove the selected elements", "delete", OneSelected, nullptr},
    {ID_EDIT_DUPLICATE, "D&uplicate", "Ctrl+D", nullptr, "Make a copy of the selected elements", "duplicate", OneSelected, nullptr},
    {ID_ELEMENT_PROPERTIES, "&Properties", "Alt+Return", nullptr, "Properties of the selected element", nullptr, OneSelected, nullptr},
    {ID_SPELLING, "Spe&lling...", "F7", "Spelling", "Check the spelling of the sign's text", "spelling", Spelling, nullptr},

    // View
    {ID_VIEW_TOOLBAR, "&Main Toolbar", nullptr, nullptr, "Show or hide the main toolbar", nullptr, nullptr, MainBar},
    {ID_VIEW_DRAW_TOOLBAR, "&Draw Toolbar", nullptr, nullptr, "Show or hide the drawing tools", nullptr, nullptr, DrawBar},
    {ID_VIEW_LAYOUT_TOOLBAR, "&Layout Toolbar", nullptr, nullptr, "Show or hide the layout tools", nullptr, nullptr, LayoutBar},
    {ID_VIEW_STATUS_BAR, "&Status Bar", nullptr, nullptr, "Show or hide the status bar", nullptr, nullptr, StatusBar},
    {ID_VIEW_WHOLE_SIGN, "&Whole Sign", nullptr, nullptr, "Fit the whole sign into the window", "wholesign", nullptr, nullptr},
    {ID_VIEW_FULL_SIZE, "&Full Size", nullptr, nullptr, "Show the sign at its real size", "fullsize", nullptr, nullptr},
    {ID_TOOL_MAGNIFIER, "M&agnifier", nullptr, nullptr, "Click to zoom in, right-click to zoom out", "magnifier", nullptr, MagnifierTool},
    {ID_VIEW_GRID, "&Grid", nullptr, nullptr, "Show or hide the grid", nullptr, nullptr, Grid},
    {ID_VIEW_RULER, "&Ruler", nullptr, nullptr, "Show or hide the rulers", nullptr, nullptr, Ruler},
    {ID_VIEW_MARGINS, "Margi&ns", nullptr, nullptr, "Show or hide the printer margins", nullptr, nullptr, Margins},
    {ID_VIEW_SHADOW, "S&hadow", nullptr, nullptr, "Show or hide the sign's shadow", nullptr, nullptr, Shadow},

    // Insert
    {ID_TOOL_SELECT, "&Select", nullptr, nullptr, "Select, move and resize elements", "select", nullptr, SelectTool},
    {ID_TOOL_LINE, "&Line", nullptr, nullptr, "Draw a line", "line", nullptr, LineTool},
    {ID_TOOL_BOX, "&Box", nullptr, nullptr, "Draw a box", "box", nullptr, BoxTool},
    {ID_TOOL_ELLIPSE, "&Ellipse", nullptr, nullptr, "Draw an ellipse", "ellipse", nullptr, EllipseTool},
    {ID_TOOL_TEXT, "&Text", nullptr, nullptr, "Place a text", "text", nullptr, TextTool},
    {ID_TOOL_TEXT_BOX, "Text B&ox", nullptr, nullptr, "Draw a frame for a text", "textbox", nullptr, TextBoxTool},
    {ID_TOOL_ARC_TEXT, "A&rc Text", nullptr, nullptr, "Draw a text along an arc", "arctext", nullptr, ArcTextTool},
    {ID_TOOL_PRICE, "&Price", nullptr, nullptr, "Place a price", "price", nullptr, PriceTool},
    {ID_TOOL_PICTURE, "P&icture...", nullptr, "Picture", "Place a picture from a file", "picture", nullptr, PictureTool},
    {ID_TOOL_BARCODE, "Bar&code...", nullptr, "Barcode", "Place a barcode", "barcode", nullptr, BarcodeTool},
    {ID_TOOL_SYMBOL, "&Symbol...", nullptr, "Symbol", "Place a symbol", "symbol", nullptr, SymbolTool},
    {ID_TOOL_TABLE, "T&able", nullptr, nullptr, "Draw a table", "table", nullptr, TableTool},
    {ID_TOOL_OBJECT, "Ob&ject...", nullptr, "Object", "Insert an object of another program", nullptr, Never, nullptr},

    // Layout
    {ID_EDIT_ROTATE, "&Rotate", nullptr, nullptr, "Turn the selected elements", "rotate", RotatableSelected, nullptr},
    {ID_BRING_TO_FRONT, "&Bring to Front", nullptr, nullptr, "Put the selected elements in front of the others", "front", OneSelected, nullptr},
    {ID_SEND_TO_BACK, "Send to Bac&k", nullptr, nullptr, "Put the selected elements behind the others", "back", OneSelected, nullptr},
    {ID_ALIGN_LEFT, "&Left", nullptr, "Align Left", "Line the left edges up with the primary element", "alignleft", TwoSelected, nullptr},
    {ID_ALIGN_RIGHT, "&Right", nullptr, "Align Right", "Line the right edges up with the primary element", "alignright", TwoSelected, nullptr},
    {ID_ALIGN_TOP, "&Top", nullptr, "Align Top", "Line the top edges up with the primary element", "aligntop", TwoSelected, nullptr},
    {ID_ALIGN_BOTTOM, "&Bottom", nullptr, "Align Bottom", "Line the bottom edges up with the primary element", "alignbottom", TwoSelected, nullptr},
    {ID_ALIGN_VERT_CENTRE, "&Vert. Centre", nullptr, "Align Vertical Centre", "Line the vertical centres up with the primary element", "alignvcentre", TwoSelected, nullptr},
    {ID_ALIGN_HORZ_CENTRE, "&Horz. Centre", nullptr, "Align Horizontal Centre", "Line the horizontal centres up with the primary element", "alignhcentre", TwoSelected, nullptr},
    {ID_CENTRE_HORIZONTAL, "&Horizontal", nullptr, "Centre Horizontal", "Centre the selection across the sign", "centrehorz", OneSelected, nullptr},
    {ID_CENTRE_VERTICAL, "&Vertical", nullptr, "Centre Vertical", "Centre the selection down the sign", "centrevert", OneSelected, nullptr},
    {ID_SAME_WIDTH, "&Width", nullptr, "Make Same Width", "Give the selected elements the primary element's width", "samewidth", TwoSelected, nullptr},
    {ID_SAME_HEIGHT, "&Height", nullptr, "Make Same Height", "Give the selected elements the primary element's height", "sameheight", TwoSelected, nullptr},
    {ID_SAME_SIZE, "&Both", nullptr, "Make Same Size", "Give the selected elements the primary element's size", "samesize", TwoSelected, nullptr},
    {ID_SPACE_HORIZONTAL, "&Horizontal", nullptr, "Space Horizontally", "Put equal gaps between the selected elements across", "spacehorz", ThreeSelected, nullptr},
    {ID_SPACE_VERTICAL, "&Vertical", nullptr, "Space Vertically", "Put equal gaps between the selected elements down", "spacevert", ThreeSelected, nullptr},
    {ID_SAME_TYPEFACE, "&Typeface", nullptr, "Same Typeface", "Give the selected elements the primary element's typeface", "sametypeface", TwoSelected, nullptr},
    {ID_SAME_LINE_THICKNESS, "&Line Thickness", nullptr, "Same Line Thickness", "Give the selected elements the primary element's line thickness", "samethickness", TwoSelected, nullptr},
    {ID_SAME_COLOURS, "&Colour", nullptr, "Same Colours", "Give the selected elements the primary element's colours", "samecolours", TwoSelected, nullptr},
    {ID_CHANGE_SYMBOLOGY, "S&ymbology...", nullptr, nullptr, "Change the type of the selected barcode", nullptr, nullptr, nullptr},
    {ID_LAYOUT_GUIDES, "Layout &Guides...", nullptr, "Layout Guides", "Settings of the grid and the layout guides", "guides", nullptr, nullptr},

    // Sign
    {ID_PAPER_SELECT, "&Select...", nullptr, "Select Paper", "Select paper type.", "paper", SeveralStocks, nullptr},
    {ID_PAPER_NEW, "&New...", nullptr, nullptr, "Design a new paper type", nullptr, nullptr, nullptr},
    {ID_PAPER_EDIT, "&Edit...", nullptr, nullptr, "Change the current paper type", nullptr, UserStock, nullptr},
    {ID_PAPER_ROTATE, "&Rotate", nullptr, "Rotate Paper", "Turn the paper between portrait and landscape", "rotatepaper", nullptr, nullptr},
    {ID_HEADER_FOOTER, "&Header and Footer...", nullptr, nullptr, "Headers, footers and page labels of printed sheets", nullptr, nullptr, nullptr},
    {ID_PRICE_FORMAT_NEW, "&New Format...", nullptr, nullptr, "Create a price format", nullptr, nullptr, nullptr},
    {ID_PRICE_FORMAT_EDIT, "&Edit Format...", nullptr, nullptr, "Change a price format", nullptr, SeveralPriceFormats, nullptr},
    {ID_PRICE_FORMAT_DELETE, "&Delete Format...", nullptr, nullptr, "Delete a price format", nullptr, SeveralPriceFormats, nullptr},

    // Database
    {ID_DATABASE_CONNECT, "&Connect...", nullptr, "Connect to Database", "Link the sign to a database", "database", CanConnect, nullptr},
    {ID_DATABASE_PROPERTIES, "&Properties...", nullptr, "Database Properties", "Settings of the sign's database link", nullptr, HasLink, nullptr},
    {ID_DATABASE_DISCONNECT, "&Disconnect", nullptr, nullptr, "Remove the sign's database link", nullptr, HasLink, nullptr},
    {ID_DATABASE_CHANGE, "C&hange Database...", nullptr, nullptr, "Link the sign to another database of the same structure", nullptr, HasExternalLink, nullptr},
    {ID_RECORD_FILTER, "&Filter...", nullptr, "Create Advanced Filter", "Filter the records of the linked database", nullptr, HasLink, nullptr},
    {ID_DATA_STORE_CREATE, "C&reate...", nullptr, "Create Data Store", "Keep the typed data of the sign in a data store", nullptr, CanCreateStore, nullptr},
    {ID_DATA_ENTRY_ORDER, "Data Entry &Order...", nullptr, nullptr, "The order in which data is asked for", nullptr, HasLinkedElements, nullptr},
    {ID_DATA_TREE, "Data &Tree...", nullptr, nullptr, "Show where each element takes its data from", nullptr, HasDataPaths, nullptr},

    // Options
    {ID_OPTIONS_GRID, "&Grid...", nullptr, "Grid Settings", "Settings of the grid and the layout guides", nullptr, nullptr, nullptr},
    {ID_OPTIONS_RULER, "&Ruler...", nullptr, "Ruler Settings", "Settings of the rulers", nullptr, nullptr, nullptr},
    {ID_OPTIONS_MARGINS, "&Margins...", nullptr, "Margin Settings", "Settings of the sign margins", nullptr, nullptr, nullptr},
    {ID_PREF_GENERAL, "&General...", nullptr, "General Preferences", "Preferences for the whole program", nullptr, nullptr, nullptr},
    {ID_PREF_LINES, "&Lines...", nullptr, "Line Preferences", "Settings that new lines start with", nullptr, nullptr, nullptr},
    {ID_PREF_BOXES, "&Boxes...", nullptr, "Box Preferences", "Settings that new boxes start with", nullptr, nullptr, nullptr},
    {ID_PREF_ELLIPSES, "&Ellipses...", nullptr, "Ellipse Preferences", "Settings that new ellipses start with", nullptr, nullptr, nullptr},
    {ID_PREF_TEXT, "&Text...", nullptr, "Text Preferences", "Settings that new texts start with", nullptr, nullptr, nullptr},
    {ID_PREF_PRICES, "&Prices...", nullptr, "Price Preferences", "Settings that new prices start with", nullptr, nullptr, nullptr},
    {ID_PREF_BARCODES, "Bar&codes...", nullptr, "Barcode Preferences", "Settings that new barcodes start with", nullptr, nullptr, nullptr},
    {ID_PREF_PICTURES, "P&ictures...", nullptr, "Picture Preferences", "Settings that new pictures start with", nullptr, nullptr, nullptr},
    {ID_PREF_BULLETS, "B&ullet Points...", nullptr, "Bullet Preferences", "Settings of bullet points", nullptr, nullptr, nullptr},
    {ID_PREF_SPELLING, "&Spelling...", nullptr, "Spelling Preferences", "Settings of the spelling check", nullptr, Spelling, nullptr},
    {ID_PREF_SYMBOLS, "S&ymbols...", nullptr, "Symbol Preferences", "Settings that new symbols start with", nullptr, nullptr, nullptr},

    // Help
    {ID_HELP_FINDER, "Help &Topics", nullptr, nullptr, "Open the help", nullptr, nullptr, nullptr},
    {ID_CONTEXT_HELP, "&What's This?", "Shift+F1", nullptr, "Help on a command or a part of the window", nullptr, nullptr, nullptr},
    {ID_HELP, "&Help", "F1", nullptr, "Open the help", "help", nullptr, nullptr},
    {ID_DEFAULT_HELP, "Help", nullptr, nullptr, "Open the help", nullptr, nullptr, nullptr},
    {ID_WEB_PAGE, "Corvane &Home Page", nullptr, nullptr, "Visit the home page in your web browser", nullptr, nullptr, nullptr},
    {ID_APP_ABOUT, "&About Tabrel...", nullptr, nullptr, "Program version and licence", nullptr, nullptr, nullptr},

    // Data entry
    {ID_PREVIEW_SINGLE, "Single Sign", nullptr, nullptr, "Preview one sign", "single", nullptr, nullptr},
    {ID_PREVIEW_SHEET, "Whole Sheet", nullptr, nullptr, "Preview the whole sheet of signs", "sheet", SheetOfSeveral, nullptr},
    {ID_SWITCH_DOCKING, "Switch Docking", nullptr, nullptr, "Move the data-entry pane to the other side", "docking", InDataEntry, nullptr},
    {ID_DATA_CANCEL, "Cancel", nullptr, "Cancel Data Entry", "Leave data entry and return to the design", nullptr, nullptr, nullptr},
    {ID_RECORD_PRINT_ALL, "Print All", nullptr, "Print All Records", "Print one sign for every record of the linked database", "print", nullptr, nullptr},

    // Sent by other windows
    {ID_PICTURE_RESAMPLE, "Resample Picture", nullptr, nullptr, "Resample the picture", nullptr, nullptr, nullptr},
    {ID_PICTURE_INVERT, "Invert Picture", nullptr, nullptr, "Invert the picture", nullptr, nullptr, nullptr},
    {ID_PICTURE_GREYSCALE, "Greyscale Picture", nullptr, nullptr, "Turn the picture to shades of grey", nullptr, nullptr, nullptr},
    {ID_OBJECT_EDIT, "Edit Object", nullptr, nullptr, "Edit the object", nullptr, ObjectSelected, nullptr},
    {ID_OBJECT_OPEN, "Open Object", nullptr, nullptr, "Open the object in its own program", nullptr, ObjectSelected, nullptr},
    {ID_SHOW_SIGN_SETTINGS, "Sign Settings", nullptr, nullptr, "Show the sign's settings", nullptr, nullptr, nullptr},
};

const std::vector<CMenuEntry> kMenus = {
    {0, 0, "&File"},
    {1, ID_FILE_NEW, nullptr},
    {1, ID_FILE_OPEN, nullptr},
    {1, ID_FILE_SAVE, nullptr},
    {1, ID_FILE_SAVE_AS, nullptr},
    {1, 0, nullptr},
    {1, ID_EXPORT_TEXT, nullptr},
    {1, ID_EXPORT_ZIP, nullptr},
    {1, ID_IMPORT_ZIP, nullptr},
    {1, 0, nullptr},
    {1, ID_FILE_PRINT, nullptr},
    {1, ID_FILE_PRINT_SETUP, nullptr},
    {1, 0, nullptr},
    {1, ID_SIGN_PROPERTIES, nullptr},
    {1, 0, nullptr},
    {1, ID_FILE_MRU_FIRST, nullptr},
    {1, 0, nullptr},
    {1, ID_LOG_OFF, nullptr},
    {1, ID_APP_EXIT, nullptr},

    {0, 0, "&Edit"},
    {1, ID_EDIT_UNDO, nullptr},
    {1, ID_EDIT_REDO, nullptr},
    {1, 0, nullptr},
    {1, ID_EDIT_CUT, nullptr},
    {1, ID_EDIT_COPY, nullptr},
    {1, ID_EDIT_PASTE, nullptr},
    {1, ID_EDIT_DELETE, nullptr},
    {1, 0, nullptr},
    {1, ID_EDIT_DUPLICATE, nullptr},
    {1, ID_ELEMENT_PROPERTIES, nullptr},
    {1, 0, nullptr},
    {1, ID_SPELLING, nullptr},

    {0, 0, "&View"},
    {1, ID_VIEW_TOOLBAR, nullptr},
    {1, ID_VIEW_DRAW_TOOLBAR, nullptr},
    {1, ID_VIEW_LAYOUT_TOOLBAR, nullptr},
    {1, ID_VIEW_STATUS_BAR, nullptr},
    {1, 0, nullptr},
    {1, ID_VIEW_WHOLE_SIGN, nullptr},
    {1, ID_VIEW_FULL_SIZE, nullptr},
    {1, ID_TOOL_MAGNIFIER, nullptr},
    {1, 0, nullptr},
    {1, ID_PREVIEW_SINGLE, nullptr},
    {1, ID_PREVIEW_SHEET, nullptr},
    {1, 0, nullptr},
    {1, ID_VIEW_GRID, nullptr},
    {1, ID_VIEW_RULER, nullptr},
    {1, ID_VIEW_MARGINS, nullptr},
    {1, ID_VIEW_SHADOW, nullptr},

    {0, 0, "&Insert"},
    {1, ID_TOOL_LINE, nullptr},
    {1, ID_TOOL_BOX, nullptr},
    {1, ID_TOOL_ELLIPSE, nullptr},
    {1, 0, nullptr},
    {1, ID_TOOL_TEXT, nullptr},
    {1, ID_TOOL_TEXT_BOX, nullptr},
    {1, ID_TOOL_ARC_TEXT, nullptr},
    {1, ID_TOOL_PRICE, nullptr},
    {1, 0, nullptr},
    {1, ID_TOOL_PICTURE, nullptr},
    {1, ID_TOOL_BARCODE, nullptr},
    {1, ID_TOOL_SYMBOL, nullptr},
    {1, ID_TOOL_TABLE, nullptr},
    {1, ID_TOOL_OBJECT, nullptr},

    {0, 0, "&Layout"},
    {1, ID_EDIT_ROTATE, nullptr},
    {1, ID_BRING_TO_FRONT, nullptr},
    {1, ID_SEND_TO_BACK, nullptr},
    {1, 0, nullptr},
    {1, 0, "&Align"},
    {2, ID_ALIGN_LEFT, nullptr},
    {2, ID_ALIGN_RIGHT, nullptr},
    {2, ID_ALIGN_TOP, nullptr},
    {2, ID_ALIGN_BOTTOM, nullptr},
    {2, 0, nullptr},
    {2, ID_ALIGN_VERT_CENTRE, nullptr},
    {2, ID_ALIGN_HORZ_CENTRE, nullptr},
    {1, 0, "&Centre in Sign"},
    {2, ID_CENTRE_HORIZONTAL, nullptr},
    {2, ID_CENTRE_VERTICAL, nullptr},
    {1, 0, "Make &Same Size"},
    {2, ID_SAME_WIDTH, nullptr},
    {2, ID_SAME_HEIGHT, nullptr},
    {2, ID_SAME_SIZE, nullptr},
    {1, 0, "Space &Evenly"},
    {2, ID_SPACE_HORIZONTAL, nullptr},
    {2, ID_SPACE_VERTICAL, nullptr},
    {1, 0, "&Match"},
    {2, ID_SAME_TYPEFACE, nullptr},
    {2, ID_SAME_LINE_THICKNESS, nullptr},
    {2, ID_SAME_COLOURS, nullptr},
    {1, 0, nullptr},
    {1, ID_CHANGE_SYMBOLOGY, nullptr},
    {1, ID_LAYOUT_GUIDES, nullptr},

    {0, 0, "&Sign"},
    {1, 0, "&Paper"},
    {2, ID_PAPER_SELECT, nullptr},
    {2, ID_PAPER_NEW, nullptr},
    {2, ID_PAPER_EDIT, nullptr},
    {2, ID_PAPER_ROTATE, nullptr},
    {1, ID_HEADER_FOOTER, nullptr},
    {1, 0, nullptr},
    {1, 0, "P&rice Formats"},
    {2, ID_PRICE_FORMAT_NEW, nullptr},
    {2, ID_PRICE_FORMAT_EDIT, nullptr},
    {2, ID_PRICE_FORMAT_DELETE, nullptr},

    {0, 0, "&Database"},
    {1, ID_DATABASE_CONNECT, nullptr},
    {1, ID_DATABASE_PROPERTIES, nullptr},
    {1, ID_DATABASE_DISCONNECT, nullptr},
    {1, ID_DATABASE_CHANGE, nullptr},
    {1, ID_RECORD_FILTER, nullptr},
    {1, 0, nullptr},
    {1, 0, "Data &Store"},
    {2, ID_DATA_STORE_CREATE, nullptr},
    {1, 0, nullptr},
    {1, ID_DATA_ENTRY_ORDER, nullptr},
    {1, ID_DATA_TREE, nullptr},

    {0, 0, "&Options"},
    {1, ID_OPTIONS_GRID, nullptr},
    {1, ID_OPTIONS_RULER, nullptr},
    {1, ID_OPTIONS_MARGINS, nullptr},
    {1, 0, nullptr},
    {1, 0, "&Preferences"},
    {2, ID_PREF_GENERAL, nullptr},
    {2, 0, nullptr},
    {2, ID_PREF_LINES, nullptr},
    {2, ID_PREF_BOXES, nullptr},
    {2, ID_PREF_ELLIPSES, nullptr},
    {2, ID_PREF_TEXT, nullptr},
    {2, ID_PREF_PRICES, nullptr},
    {2, ID_PREF_BARCODES, nullptr},
    {2, ID_PREF_PICTURES, nullptr},
    {2, ID_PREF_SYMBOLS, nullptr},
    {2, 0, nullptr},
    {2, ID_PREF_BULLETS, nullptr},
    {2, ID_PREF_SPELLING, nullptr},

    {0, 0, "&Help"},
    {1, ID_HELP_FINDER, nullptr},
    {1, ID_CONTEXT_HELP, nullptr},
    {1, 0, nullptr},
    {1, ID_WEB_PAGE, nullptr},
    {1, 0, nullptr},
    {1, ID_APP_ABOUT, nullptr},
};

const std::vector<int> kMainBar = {
    ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0,
    ID_EXPORT_ZIP, ID_IMPORT_ZIP, 0,
    ID_FILE_PRINT, 0,
    ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
    ID_EDIT_UNDO, ID_EDIT_REDO, 0,
    ID_VIEW_WHOLE_SIGN, ID_VIEW_FULL_SIZE, ID_TOOL_MAGNIFIER, 0,
    ID_PAPER_SELECT, 0,
    ID_PAPER_ROTATE, 0,
    ID_EDIT_DELETE, ID_EDIT_ROTATE, ID_EDIT_DUPLICATE, 0,
    ID_BRING_TO_FRONT, ID_SEND_TO_BACK, 0,
    ID_DATABASE_CONNECT, 0,
    ID_SPELLING, 0,
    ID_HELP,
};

const std::vector<int> kDataEntryBar = {
    ID_PREVIEW_SINGLE, ID_PREVIEW_SHEET, ID_SWITCH_DOCKING, 0, ID_RECORD_PRINT_ALL, 0, ID_SPELLING,
};

const std::vector<int> kDrawBar = {
    ID_TOOL_SELECT, 0,
    ID_TOOL_LINE, ID_TOOL_BOX, ID_TOOL_ELLIPSE, ID_TOOL_TEXT, ID_TOOL_TEXT_BOX,
    ID_TOOL_PRICE, ID_TOOL_PICTURE, ID_TOOL_BARCODE, ID_TOOL_SYMBOL,
};

const std::vector<int> kLayoutBar = {
    ID_LAYOUT_GUIDES, 0,
    ID_ALIGN_LEFT, ID_ALIGN_RIGHT, ID_ALIGN_TOP, ID_ALIGN_BOTTOM, 0,
    ID_ALIGN_VERT_CENTRE, ID_ALIGN_HORZ_CENTRE, 0,
    ID_CENTRE_HORIZONTAL, ID_CENTRE_VERTICAL, 0,
    ID_SAME_WIDTH, ID_SAME_HEIGHT, ID_SAME_SIZE, 0,
    ID_SPACE_HORIZONTAL, ID_SPACE_VERTICAL, 0,
    ID_SAME_TYPEFACE, ID_SAME_LINE_THICKNESS, ID_SAME_COLOURS,
};
// clang-format on

} // namespace

const std::vector<CCommandInfo>& AllCommands()
{
    return kCommands;
}

const CCommandInfo* FindCommand(int id)
{
    auto it = std::find_if(kCommands.begin(), kCommands.end(),
                           [id](const CCommandInfo& info) { return info.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

QString CommandTip(const CCommandInfo& info)
{
    if (info.tip)
        return QString::fromUtf8(info.tip);
    QString tip = QString::fromUtf8(info.text);
    tip.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    tip.remove(u'&');
    tip.replace(u'\x01', u'&');
    if (tip.endsWith(QStringLiteral("...")))
        tip.chop(3);
    return tip;
}

const std::vector<CMenuEntry>& MenuLayout()
{
    return kMenus;
}

const std::vector<int>& MainToolBarButtons()
{
    return kMainBar;
}

const std::vector<int>& DataEntryToolBarButtons()
{
    return kDataEntryBar;
}

const std::vector<int>& DrawToolBarButtons()
{
    return kDrawBar;
}

const std::vector<int>& LayoutToolBarButtons()
{
    return kLayoutBar;
}
