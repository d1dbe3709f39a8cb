#include "ResourceIds.h"
#include "Strings.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry
{
    int id;
    const char* text; // UTF-8
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {IDS_PRINT_SIGN_PROMPT, "Print the sign\nPrint"},
    {IDS_INSUFFICIENT_MEMORY, "Insufficient memory"},
    {IDS_UNABLE_TO_ALLOCATE_RESOURCE, "Unable to allocate resource"},
    {IDS_ROTATING_PICTURE, "Rotating Picture..."},
    {IDS_INVALID_SELECTION, "Invalid selection"},
    {IDS_RESAMPLING_PICTURE, "Resampling Picture..."},
    {IDS_CHANGING_BRIGHTNESS, "Changing Picture Brightness..."},
    {IDS_GREYSCALING_PICTURE, "Greyscaling Picture..."},
    {IDS_CHANGING_CONTRAST, "Changing Picture Contrast..."},
    {IDS_GAMMA_CORRECTING_PICTURE, "Gamma Correcting Picture..."},
    {IDS_NO_PRINTER_DATA, "Unable to obtain data on selected printer"},
    {IDS_INVALID_DELIMITER, "Error - Invalid delimiter"},
    {IDS_COLUMN_SIZE, "Size"},
    {IDS_COLUMN_NAME, "Name"},
    {IDS_COLUMN_TYPE, "Type"},
    {IDS_SELECT_BUTTON, "Select..."},
    {IDS_PREFERENCES, "Preferences"},
    {IDS_UNTITLED, "Untitled"},
    {IDS_REPLACE_PAPER_TYPE, "Replace existing data for paper type %1 ?"},
    {IDS_BOXES, "Boxes"},
    {IDS_ELLIPSES, "Ellipses"},
    {IDS_LOADING_TEMPLATE, "Loading Sign Template..."},
    {IDS_SAVING_TEMPLATE, "Saving Sign Template..."},
    {IDS_INVERTING_PICTURE, "Inverting Image..."},
    {IDS_DISCONNECT_BREAKS_LINKS,
     "Disconnecting from the database will break all links between\nsign elements and "
     "database fields. Do you wish to continue ?"},
    {IDS_ONE_CONNECTION_PER_SIGN,
     "Only one database connection per sign is permitted. Changing the database connection "
     "will break all existing links between sign elements and database fields. Do you wish "
     "to continue ?"},
    {IDS_TRUETYPE_FONT_NOTE,
     "This is a TrueType font. This same font will be used on both your screen and your printer."},
    {IDS_PRINTER_FONT_NOTE,
     "This is a printer font. The closest matching Windows font will be used on your screen."},
    {IDS_DELETE_PRICE_FORMAT, "OK to delete price format %1 ?"},
    {IDS_PRICE_FORMAT_IN_USE, "Price format in use - deletion not permitted"},
    {IDS_NO_RECORDS_STARTING_WITH, "No records found where \"%1\" starts with \"%2\""},
    {IDS_UNSUPPORTED_TEMPLATE_VERSION, "unsupported template version"},
    {IDS_PRINTING_ON_PORT, "on %1"},
    {IDS_PRINTING_TO_FILE, "to %1"},
    {IDS_INVALID_PRODUCT_ID, "Invalid product identifier."},
    {IDS_DELETE_CURRENT_RECORD, "OK to delete current record from data store ?"},
    {IDS_INVALID_ELEMENT_NAME, "Invalid or non-unique element name"},
    {IDS_TEXT_TOO_LONG_FOR_FIELD, "Unable to store more than 255 characters"},
    {IDS_CANNOT_RECREATE_DATA_LINK,
     "Unable to re-create link to data source '%1'. All links between template elements "
     "and this data source must therefore be broken. Continue template load ?"},
    {IDS_CANNOT_REOPEN_DATA_STORE,
     "Unable to re-open data store '%1'. Print-time data storage and retrieval must "
     "therefore be disabled. Continue template load ?"},
    {IDS_COLUMN_PROMPT, "Prompt"},
    {IDS_SPELLING_CHECK_COMPLETE, "The spelling check is complete"},
    {IDS_CONTINUE_SPELLING_CHECK,
     "Tabrel has finished checking the selection. Do you want to continue checking the "
     "remainder of the sign ?"},
    {IDS_PRINT_FILE_EXTENSION, "prn"},
    {IDS_PRINT_FILE_DEFAULT_NAME, "Output.prn"},
    {IDS_PRINT_FILE_FILTER, "Printer Files (*.prn)|*.prn|All Files (*.*)|*.*||"},
    {IDS_PRINT_TO_FILE, "Print to File"},
    {IDS_CLEAR_BUTTON, "Clear"},
    {IDS_PAPER_TYPE_IN_USE, "Paper type %1 currently in use - unable to delete."},
    {IDS_DELETE_PAPER_TYPE, "OK to delete paper type %1 ?"},
    {IDS_LABEL_NAME, "Name"},
    {IDS_LABEL_FIELD, "Field"},
    {IDS_DATABASE_SUPPORT_NOT_INSTALLED,
     "The database support option has not been installed. Re-run the installation program "
     "and select this option."},
    {IDS_LINK_USED_FOR_DATA_STORAGE,
     "The database link is being used for data storage, and cannot be used as a data source."},
    {IDS_NO_VARIABLE_ELEMENTS, "No variable elements from which to source data."},
    {IDS_SOURCE_FIXED, "Fixed"},
    {IDS_SOURCE_KEYBOARD, "Keyboard"},
    {IDS_SOURCE_DATABASE, "Database"},
    {IDS_CIRCULAR_DATA_PATH, "Element or variable forms part of a circular data path."},
    {IDS_LABEL_AT, "&At"},
    {IDS_LABEL_IS, "&Is"},
    {IDS_ELEMENT_IS_DATA_SOURCE, "Element '%1' is acting as a data source and may not be deleted."},
    {IDS_OPTION_LIST_EMPTY, "An option list must contain at least one option."},
    {IDS_OPTION_LIST_PROPERTIES, "Option List Properties"},
    {IDS_DATA_MUST_BE_SUPPLIED, "Data must be supplied for %1."},
    {IDS_DATA_TOO_LONG, "Data for %1 is too long ( max = %2 )."},
    {IDS_DATA_TOO_SHORT, "Data for %1 is too short ( min = %2 )."},
    {IDS_NO_SUCH_RECORD, "No such record exists."},
    {IDS_PRINT_N_SIGNS, "Print %d signs ?"},
    {IDS_LAYOUT_GUIDES, "Layout Guides"},
    {IDS_SOURCE_OPTION_LIST, "Option List"},
    {IDS_SOURCE_INCREMENTING_NUMBER, "Incrementing Number"},
    {IDS_SOURCE_DATE_TIME_STAMP, "Date/Time Stamp"},
    {IDS_SOURCE_PRICE_CALCULATION, "Price Calculation"},
    {IDS_SOURCE_MACRO_SCRIPT, "Macro Script"},
    {IDS_SOURCE_ANOTHER_ELEMENT, "Another Element"},
    {IDS_LEGAL_NOTICE, "Copyright \u00a9 2026 Corvane. All rights reserved. Tabrel is protected by "
                       "copyright law; copying or passing it on without a licence is not permitted."},
    {IDS_VERSION, "Version"},
    {IDS_ADVANCED_FILTER, "Advanced Filter"},
    {IDS_FILTER_NEEDS_PRIMARY_KEY, "Advanced filtration is only available with a primary key."},
    {IDS_FILES_FOUND, "%1 Files Found"},
    {IDS_COLUMN_MODIFIED, "Modified"},
    {IDS_COLUMN_FOLDER, "Folder"},
    {IDS_INVALID_STYLE_NAME, "Invalid or non-unique style name"},
    {IDS_UNKNOWN_USER, "Unknown user."},
    {IDS_INVALID_PASSWORD, "Invalid password."},
    {IDS_NO_ACCESS_RIGHTS,
     "You do not have access rights to this application. Please contact your Tabrel manager."},
    {IDS_SHUT_DOWN, "Shut Down"},
    {IDS_ABOUT_CAPTION, "About Tabrel"},
    {IDS_SIGN_DIMENSIONS, "Sign Dimensions"},
    {IDS_BARCODE_DATA_INVALID, "BARCODE DATA INVALID"},
    {IDS_NO_PREFERENCE, "No Preference"},
    {IDS_SAVE_BEFORE_QUEUE, "Template must be saved before adding to print queue."},
    {IDS_NO_RECORDS_FOR_FILTER, "No records generated by filter '%1'"},
    {IDS_SYMBOLOGY_CHANGE_NOT_PERMITTED, "Symbology change not permitted for variable barcodes."},
    {IDS_SOURCE_SELECTION, "Selection"},
    {IDS_ENTER_PRINT_DATA_PROMPT, "Enter print data\nData Entry"},
    {IDS_EXPORT_AS, "Export As"},
    {IDS_TEXT_EXPORT_FILTER, "Tabrel Export Files (*.txt)|*.txt|All Files (*.*)|*.*||"},
    {IDS_ZIP_EXPORT_FILTER, "Tabrel Export Files (*.zip)|*.zip|All Files (*.*)|*.*||"},
    {IDS_SIGN_SHAPE, "Sign Shape"},
    {IDS_EXPORT_FAILED, "Error creating export file %1"},
    {IDS_EXPORT_SUCCEEDED, "Export file %1 successfully created"},
    {IDS_IMPORT_FROM, "Import From"},
    {IDS_ZIP_IMPORT_FILTER, "Tabrel Import Files (*.zip)|*.zip|All Files (*.*)|*.*||"},
    {IDS_FOLDER_NOT_FOUND, "Could not find the folder '%1'"},
    {IDS_CANNOT_CREATE_FOLDER, "Unable to create the folder '%1'"},
    {IDS_IMPORT_FAILED, "Error importing from '%1'"},
    {IDS_IMPORT_SUCCEEDED, "'%1' successfully imported"},
    {IDS_CUSTOM_CATEGORY, "Custom"},
    {IDS_PAPER_TYPE_NAME_IN_USE, "Paper type name already in use. Please choose another name."},
    {IDS_OPEN_EXISTING_DESIGN, "Open an Existing Sign Design"},
    {IDS_CREATE_NEW_DESIGN, "Create a New Sign Design"},
    {IDS_RECORDS_CREATED, "%1 records created."},
    {IDS_REPLACE_CUSTOM_VIEW,
     "A custom view with the name '%1' already exists and is used on other templates. Do "
     "you wish to replace that view with the one used on this template ?"},
    {IDS_TABLE_FORMAT_ERROR, "Error in table format specification."},
    {IDS_SAMPLE_TEXT, "Sample Text"},
    {IDS_CHANGE_DATABASE_WARNING,
     "WARNING: Unless the database you are about to connect to has the same structure as "
     "the current database, this sign may not print. Do you wish to continue? This "
     "operation cannot be undone."},
    {IDS_DATABASE_LINK_CHANGED, "The database link has been successfully changed."},
    {IDS_DATABASE_LINK_CLOSED,
     "The database linked has been closed and all links between sign elements and database "
     "fields have been broken."},
    {IDS_DATABASE_LINK_PARTLY_BROKEN,
     "The database linked has been changed, but some links between sign elements and "
     "database fields have been broken."},
    {IDS_SIGN_STOCK, "Sign Stock"},
    {IDS_SIGN_WIDTH, "Sign Width"},
    {IDS_SIGN_HEIGHT, "Sign Height"},
    {IDS_PROPERTIES_ON_RIGHT,
     "All the properties of this element are available on the properties screen to the right."},
    {IDS_DEFAULT_SAMPLE_TEXT, "This is some sample text"},
    {IDS_NO_RECORDS_FOR_THIS_FILTER, "No records generated by this filter."},
    {IDS_SOURCE_COMBINATION, "Combination"},
    {IDS_SIGN_STOCK_TYPE, "Sign Stock Type"},
    {IDS_CHECK_DRIVER_PAPER_SIZE,
     "You should ensure that the printer driver is set for a paper size of %1."},
    {IDS_RETURN_TO_LABEL_DESIGN, "Return to Label Design"},
    {IDS_EJECT_SHEET, "Eject Sheet"},
    {IDS_EJECT_LABELS, "Eject Labels"},
    {IDS_PRINTER_SETTINGS_NOT_APPLIED,
     "The printer settings stored in this sign cannot be re-applied to your %1 printer "
     "driver (perhaps the driver has been upgraded?).\n\n"},
    {IDS_REVIEW_PRINTER_SETTINGS,
     "The sign will continue to load, but before printing you should use the 'Print Setup' "
     "facility within Tabrel to review the printer settings for this sign and then resave "
     "the sign. This will allow the sign to remember the correct printer settings for the "
     "new version of this driver."},
};

} // namespace

QString LoadStringId(int id)
{
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    if (it == std::end(kStrings) || it->id != id)
        return QString();
    return QString::fromUtf8(it->text);
}

bool HasStringId(int id)
{
    return !LoadStringId(id).isNull();
}

std::vector<int> AllStringIds()
{
    std::vector<int> ids;
    ids.reserve(std::size(kStrings));
    for (const Entry& e : kStrings)
        ids.push_back(e.id);
    return ids;
}
