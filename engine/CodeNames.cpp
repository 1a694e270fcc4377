// The name tables of the code stream, each in its original order and
// spelling, looked up under the profile's overlays.
#include <array>
#include <iterator>
#include <memory>
#include <span>

#include "engine/Codes.h"
#include "engine/EngineContext.h"

namespace engine {

namespace {

constexpr uint32_t Key(uint8_t group, uint8_t sub) { return VarFunctionKey(group, sub); }

constexpr uint8_t kFixedLengths[15] = {4, 5, 3, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 8, 8};

constexpr NameRow kSingleByteCodeNames[] = {
    {0x80, "Soft Space"},
    {0x81, "Hard Space"},
    {0x82, "Soft Hyphen in Line"},
    {0x83, "Soft Hyphen at End of Line"},
    {0x84, "Hard Hyphen in Line"},
    {0x85, "Auto Hyphen at End of Line"},
    {0x86, "Invisible Return in Line"},
    {0x87, "Dormant Hard Return"},
    {0x88, "Soft End of Center/Align"},
    {0x89, "Hard End of Center/Align"},
    {0x8A, "Generate Text Place Holder"},
    {0x8B, "Generate End Text Holder"},
    {0x8C, "Style Separator Mark"},
    {0x8D, "Start of Text to Skip"},
    {0x8E, "End of Text to Skip"},
    {0x8F, "Exit Hyphenation"},
    {0x90, "Cancel Hyphenation"},
    {0x91, "Do Subtotal"},
    {0x92, "Subtotal Entry"},
    {0x93, "Do Total"},
    {0x94, "Total Entry"},
    {0x95, "Do Grand Total"},
    {0x96, "Calculation Column"},
    {0x97, "Math Negate"},
    {0x98, "Reserved single byte function"},
    {0x99, "No 'revert' for this style"},
    {0x9A, "Optional space for selection clean up"},
    {0x9B, "Speller clean on"},
    {0x9C, "Speller clean off"},
    {0x9D, "(MIDEAST) Joiner control"},
    {0x9E, "(MIDEAST) Non-joiner control"},
    {0x9F, "international"},
    {0xA0, "international"},
    {0xA1, "(MIDEAST) End of right-to-left decimal align"},
    {0xA2, "Speller dirty on"},
    {0xA3, "Speller dirty off"},
    {0xAE, "Inv/Del hard eol/eoc/eop"},
    {0xAF, "Inv/Del hard eol/eoc"},
    {0xB0, "Inv/Del hard eol"},
    {0xB1, "Inv/Del soft eol/eoc/eop"},
    {0xB2, "Inv/Del soft eol/eoc"},
    {0xB3, "Inv/Del soft eol"},
    {0xB4, "Deletable hard EOP"},
    {0xB5, "Deletable Hard EOC/EOP"},
    {0xB6, SharedText(Msg::DeletableHardEoc)},
    {0xB7, "Deletable Hard EOL/EOC/EOP"},
    {0xB8, "Deletable Hard EOL/EOC"},
    {0xB9, SharedText(Msg::DeletableHardEol)},
    {0xBA, "Deletable Soft EOL/EOC/EOP"},
    {0xBB, "Deletable Soft EOL/EOC"},
    {0xBC, SharedText(Msg::DeletableSoftEol)},
    {0xBD, "Table Off/EOC/EOP"},
    {0xBE, "Table Off/EOC"},
    {0xBF, "Table Off"},
    {0xC0, "Table Row/Hard EOP"},
    {0xC1, "Table Row/Hard EOC/EOP"},
    {0xC2, "Table Row/Hard EOC"},
    {0xC3, "Table Row/EOC/EOP"},
    {0xC4, "Table Row/EOC"},
    {0xC5, "Table Row"},
    {0xC6, "Table Cell"},
    {0xC7, "Hard EOP"},
    {0xC8, "Hard EOC/EOP"},
    {0xC9, "Hard EOC"},
    {0xCA, "Hard EOL/EOC/EOP"},
    {0xCB, "Hard EOL/EOC"},
    {0xCC, "Hard EOL"},
    {0xCD, "Soft EOL/EOC/EOP"},
    {0xCE, "Soft EOL/EOC"},
    {0xCF, "Soft EOL"},
};
static_assert(std::size(kSingleByteCodeNames) == 70);

constexpr NameRow kAttributeNames[] = {
    {0, "Extra Large"}, {1, "Very Large"}, {2, "Large"},       {3, "Small"},
    {4, "Fine"},        {5, "SuperScript"}, {6, "SubScript"},  {7, "Outline"},
    {8, "Italics"},     {9, "Shadow"},      {10, "Redline"},   {11, "Double Underline"},
    {12, "Bold"},       {13, "StrikeOut"},  {14, "UnderLine"}, {15, "SmallCaps"},
    {16, "Blink"},      {17, "Reverse Vidio"},
};
static_assert(std::size(kAttributeNames) == 18);

constexpr NameRow kCheckTypeKeys[] = {
    {0, "revalidate"}, {1, "reserved"}, {2, "checked_off"},
    {3, "checked_on"}, {4, "dirty_off"}, {5, "dirty_on"},
};

constexpr NameRow kCheckToolKeys[] = {
    {0xFF, "All_Tools"}, {0, "Any_Tool"}, {1, "Speller"}, {2, "Level_1"},
    {4, "Level_2"},      {8, "Level_3"},  {0x0E, "All_Levels"},
};

// Group 0xE0 has no rows of its own: its subfunctions are named by their
// top five bits.
constexpr NameRow kTabGroupNames[] = {
    {0x00, "BackTab"},          {0x08, "TableTab"},
    {0x10, "Left Tab"},         {0x20, "Bar Tab"},
    {0x30, "Left Indent"},      {0x38, "Left/Right Indent"},
    {0x40, "Center on margins"}, {0x48, "Center on current position"},
    {0x50, "Center tab"},       {0x80, "Flush Right"},
    {0x90, "Right Tab"},        {0xD0, "Decimal tab"},
};

// Key = group + 256 * subfunction.
constexpr NameRow kVariableFunctionNames[] = {
    // 0xD0
    {Key(0xD0, 0x00), "Beginning of File"},
    {Key(0xD0, 0x01), "Soft End of Line"},
    {Key(0xD0, 0x02), "Soft End of Column"},
    {Key(0xD0, 0x03), "Soft EOC at EOP"},
    {Key(0xD0, 0x04), "Hard End of Line"},
    {Key(0xD0, 0x05), "Hard EOL at EOC"},
    {Key(0xD0, 0x06), "Hard EOL at EOP"},
    {Key(0xD0, 0x07), "Hard End of Column"},
    {Key(0xD0, 0x08), "Hard EOC at EOP"},
    {Key(0xD0, 0x09), "Hard end of page"},
    {Key(0xD0, 0x0A), "Table Cell"},
    {Key(0xD0, 0x0B), "Table Row and Cell"},
    {Key(0xD0, 0x0C), "Table Row at EOC"},
    {Key(0xD0, 0x0D), "Table Row at EOP"},
    {Key(0xD0, 0x0E), "Table Row at Hard EOC"},
    {Key(0xD0, 0x0F), "Table Row at Hard EOC at EOP"},
    {Key(0xD0, 0x10), "Table Row at Hard EOP"},
    {Key(0xD0, 0x11), "Table Off"},
    {Key(0xD0, 0x12), "Table Off at EOC"},
    {Key(0xD0, 0x13), "Table Off at EOC at EOP"},
    {Key(0xD0, 0x14), SharedText(Msg::DeletableSoftEol)},
    {Key(0xD0, 0x15), "Deletable Soft EOC"},
    {Key(0xD0, 0x16), "Deletable Soft EOC at EOP"},
    {Key(0xD0, 0x17), SharedText(Msg::DeletableHardEol)},
    {Key(0xD0, 0x18), "Deletable Hard EOL at EOC"},
    {Key(0xD0, 0x19), "Deletable Hard EOL at EOP"},
    {Key(0xD0, 0x1A), SharedText(Msg::DeletableHardEoc)},
    {Key(0xD0, 0x1B), "Deletable Hard EOC at EOP"},
    {Key(0xD0, 0x1C), "Deletable Hard EOP"},
    {Key(0xD0, 0x1D), "Inv/Del Soft EOL"},
    {Key(0xD0, 0x1E), "Inv/Del Soft EOL/EOC"},
    {Key(0xD0, 0x1F), "Inv/Del Soft EOL/EOC/EOP"},
    {Key(0xD0, 0x20), "Inv/Del Hard EOL"},
    {Key(0xD0, 0x21), "Inv/Del Hard EOL/EOC"},
    {Key(0xD0, 0x22), "Inv/Del Hard EOL/EOC/EOP"},
    // 0xD1
    {Key(0xD1, 0x00), "Top Margin Set"},
    {Key(0xD1, 0x01), "Bottom Margin Set"},
    {Key(0xD1, 0x02), "Suppress Page Characteristics"},
    {Key(0xD1, 0x03), "Page Number Position"},
    {Key(0xD1, 0x04), "Center Current Page top to Bottom"},
    {Key(0xD1, 0x05), "Center Page Top to Bottom"},
    {Key(0xD1, 0x06), "Widow/Orphan On/Off"},
    {Key(0xD1, 0x07), "Set Space Between Footnotes"},
    {Key(0xD1, 0x08), "Set Space Between Endnotes"},
    {Key(0xD1, 0x09), "Footnote Minimum amount to Keep Together"},
    {Key(0xD1, 0x0A), "Endnote Minimum Amount to Keep Together"},
    {Key(0xD1, 0x0B), "Footnote Number Restart on Each Page"},
    {Key(0xD1, 0x0C), "Footnote Continued Message"},
    {Key(0xD1, 0x0D), "Footnote Text Position"},
    {Key(0xD1, 0x0E), "Footnote Separator Line"},
    {Key(0xD1, 0x0F), "Binding Width"},
    {Key(0xD1, 0x10), "Page Border"},
    {Key(0xD1, 0x11), "Form"},
    {Key(0xD1, 0x12), "Form Labels"},
    {Key(0xD1, 0x13), "Double-Sided Printing"},
    {Key(0xD1, 0x14), "Logical Pages"},
    {Key(0xD1, 0x15), "Delayed Codes"},
    {Key(0xD1, 0x16), "Start of Delayed Codes"},
    {Key(0xD1, 0x17), "End of Delayed Codes"},
    {Key(0xD1, 0x18), "Page Number Format (text)"},
    {Key(0xD1, 0x19), "Text Direction (Asia)"},
    {Key(0xD1, 0x1A), "Header Separator Distance"},
    {Key(0xD1, 0x1B), "Footer Separator Distance"},
    {Key(0xD1, 0x1C), "Line Count"},
    {Key(0xD1, 0x1D), "Logical Page Flow"},
    {Key(0xD1, 0x1E), "Minimum Header"},
    {Key(0xD1, 0x1F), "Minimum Footer"},
    // 0xD2
    {Key(0xD2, 0x00), "Left Margin Set"},
    {Key(0xD2, 0x01), "Right Margin Set"},
    {Key(0xD2, 0x02), "Define Text Columns"},
    {Key(0xD2, 0x03), "Column Border"},
    // 0xD3
    {Key(0xD3, 0x00), "Set Line Height"},
    {Key(0xD3, 0x01), "Set Line Spacing"},
    {Key(0xD3, 0x02), "Set Left Hotzone"},
    {Key(0xD3, 0x03), "Set Right Hotzone"},
    {Key(0xD3, 0x04), "Tab Set"},
    {Key(0xD3, 0x05), "Set Justification Mode"},
    {Key(0xD3, 0x06), "Set Hyphenation Mode"},
    {Key(0xD3, 0x07), "Set Leading Adjustment"},
    {Key(0xD3, 0x08), "Begin Generated Text"},
    {Key(0xD3, 0x09), "End Generated Text"},
    {Key(0xD3, 0x0A), "Set Spacing After Paragraph"},
    {Key(0xD3, 0x0B), "Indent First Line of Paragraph"},
    {Key(0xD3, 0x0C), "Left Margin Adjustment"},
    {Key(0xD3, 0x0D), "Right Margin Adjustment"},
    {Key(0xD3, 0x0E), "Outline Define"},
    {Key(0xD3, 0x0F), SharedText(Msg::ParagraphBorder)},
    {Key(0xD3, 0x10), "Define Math Columns"},
    {Key(0xD3, 0x11), "Math On/Off"},
    {Key(0xD3, 0x12), "Line Numbering Definition"},
    {Key(0xD3, 0x13), "Force Odd/Even/New"},
    {Key(0xD3, 0x14), "Endnotes Print Here"},
    {Key(0xD3, 0x15), "Endnotes Print Here End"},
    {Key(0xD3, 0x16), "Define Marked Text"},
    {Key(0xD3, 0x17), "Define Drop Cap"},
    {Key(0xD3, 0x18), "Text Direction"},
    {Key(0xD3, 0x19), "Asian Wrapping"},
    {Key(0xD3, 0x1A), "Character Count"},
    // 0xD4
    {Key(0xD4, 0x00), "Set Alignment Character"},
    {Key(0xD4, 0x01), "Set Thousands Separator Character"},
    {Key(0xD4, 0x02), "Set Underline Spaces Mode"},
    {Key(0xD4, 0x03), "Set Underline Tabs Mode"},
    {Key(0xD4, 0x04), "Horizontal Advance to Page Position"},
    {Key(0xD4, 0x05), "Vertical Advance to Page Position"},
    {Key(0xD4, 0x06), "Index Entry"},
    {Key(0xD4, 0x07), "Table of Authority Entry"},
    {Key(0xD4, 0x08), "Cross-Reference Tag"},
    {Key(0xD4, 0x09), "Include Subdocument"},
    {Key(0xD4, 0x0A), "Begin Marked Text for Table of Contents"},
    {Key(0xD4, 0x0B), "End Marked Text for Table of Contents"},
    {Key(0xD4, 0x0C), "Begin Marked Text for List"},
    {Key(0xD4, 0x0D), "End Marked Text for List"},
    {Key(0xD4, 0x0E), "Start of Included Subdocument"},
    {Key(0xD4, 0x0F), "End of Included Subdocument"},
    {Key(0xD4, 0x10), "Begin Hidden Text"},
    {Key(0xD4, 0x11), "End Hidden Text"},
    {Key(0xD4, 0x12), "Start Generate Number Placeholder"},
    {Key(0xD4, 0x13), "End Generate Number Placeholder"},
    {Key(0xD4, 0x14), "Concordance Match"},
    {Key(0xD4, 0x15), SharedText(Msg::EmbeddedPrinterCommand)},
    {Key(0xD4, 0x16), "Kerning On/Off"},
    {Key(0xD4, 0x17), "Block On/Off"},
    {Key(0xD4, 0x18), "Color"},
    {Key(0xD4, 0x19), "Character Shading Change"},
    {Key(0xD4, 0x1A), "Font Face Change"},
    {Key(0xD4, 0x1B), "Font Size Change"},
    {Key(0xD4, 0x1C), "Set Language"},
    {Key(0xD4, 0x1D), "comment"},
    {Key(0xD4, 0x1E), "Set dot Leader Characters"},
    {Key(0xD4, 0x1F), "Conditional End of Page"},
    {Key(0xD4, 0x20), "Date"},
    {Key(0xD4, 0x21), "End of Date"},
    {Key(0xD4, 0x22), "Date Format"},
    {Key(0xD4, 0x23), "Character Space/Width"},
    {Key(0xD4, 0x24), "Space Expansion"},
    {Key(0xD4, 0x25), "Bookmark"},
    {Key(0xD4, 0x26), "Protect Block On"},
    {Key(0xD4, 0x27), "Protect Block Off"},
    {Key(0xD4, 0x28), "Pause Printer"},
    {Key(0xD4, 0x29), "Overstrike"},
    {Key(0xD4, 0x2A), "Table Definition (Table On)"},
    {Key(0xD4, 0x2B), "Define Table End"},
    {Key(0xD4, 0x2C), "Table Column"},
    {Key(0xD4, 0x2D), "Disable Writing Tools"},
    {Key(0xD4, 0x2E), "Print Filename Start"},
    {Key(0xD4, 0x2F), "Print Filename End"},
    {Key(0xD4, 0x30), "Bar Code"},
    {Key(0xD4, 0x31), "Sound"},
    {Key(0xD4, 0x32), "Paragraph Number On"},
    {Key(0xD4, 0x33), "Paragraph Number Off"},
    {Key(0xD4, 0x34), "Hypertext Begin On"},
    {Key(0xD4, 0x35), "Hypertext Begin Off"},
    {Key(0xD4, 0x36), "Hypertext End On"},
    {Key(0xD4, 0x37), "Hypertext End Off"},
    {Key(0xD4, 0x38), "Change End of Line Characters"},
    {Key(0xD4, 0x39), "Change Beginning of Line Characters"},
    {Key(0xD4, 0x3A), "Define Link Start"},
    {Key(0xD4, 0x3B), "Define Link End"},
    {Key(0xD4, 0x3C), "Style Separator Comment Begin"},
    {Key(0xD4, 0x3D), "Style Separator Comment End"},
    {Key(0xD4, 0x3E), "Macro Function Begin"},
    {Key(0xD4, 0x3F), "Macro Function End"},
    {Key(0xD4, 0x40), "Page Number On"},
    {Key(0xD4, 0x41), "Page Number Off"},
    {Key(0xD4, 0x42), "Start of Text Marked for Hiding"},
    {Key(0xD4, 0x43), "End of text Marked for Hiding"},
    {Key(0xD4, 0x44), "Floating Cell Begin"},
    {Key(0xD4, 0x45), "Floating Cell End"},
    {Key(0xD4, 0x46), "Hidden Text function"},
    {Key(0xD4, 0x47), "attached text (subtitle) mark"},
    {Key(0xD4, 0x48), "attached text-text"},
    {Key(0xD4, 0x49), "attached text options"},
    {Key(0xD4, 0x4A), "Ligature control for Arabic"},
    {Key(0xD4, 0x4B), "number shaping (Arabic/Hebrew)"},
    {Key(0xD4, 0x4C), "Start of right-to-left text"},
    {Key(0xD4, 0x4D), "End of right-to-left text"},
    {Key(0xD4, 0x4E), "(MIDEAST) Native Font change"},
    {Key(0xD4, 0x4F), "(MIDEAST) Native Font size change"},
    {Key(0xD4, 0x50), "Tracked region on"},
    {Key(0xD4, 0x51), "Tracked region off"},
    {Key(0xD4, 0x52), "Style example begin"},
    {Key(0xD4, 0x53), "Style example end"},
    {Key(0xD4, 0x54), "Style prefix undo"},
    {Key(0xD4, 0x55), "delay prefix undo"},
    {Key(0xD4, 0x56), "annotate insert on"},
    {Key(0xD4, 0x57), "annotate insert off"},
    {Key(0xD4, 0x58), "annotate delete on"},
    {Key(0xD4, 0x59), "annotate delete off"},
    {Key(0xD4, 0x5A), "speech recog. begin"},
    {Key(0xD4, 0x5B), "speech recog. end"},
    {Key(0xD4, 0x5C), "HTML begin form tag"},
    {Key(0xD4, 0x5D), "HTML begin end tag"},
    {Key(0xD4, 0x5E), "HTML specific tag"},
    {Key(0xD4, 0x5F), "Check as you go"},
    {Key(0xD4, 0x60), "Named region on"},
    {Key(0xD4, 0x61), "Named region off"},
    {Key(0xD4, 0x62), "Underline styles"},
    {Key(0xD4, 0x63), "Underline color"},
    {Key(0xD4, 0x64), "HTML specific tag on"},
    {Key(0xD4, 0x65), "HTML specific tag off"},
    {Key(0xD4, 0x66), "Document compare field begin"},
    {Key(0xD4, 0x67), "Document compare field end"},
    // 0xD5
    {Key(0xD5, 0x00), "User-Defined Counters On"},
    {Key(0xD5, 0x01), "User-Defined Counters Off"},
    {Key(0xD5, 0x02), "Box Cross-Reference On"},
    {Key(0xD5, 0x03), "Box Cross-Reference Off"},
    {Key(0xD5, 0x04), "Page Cross-Reference On"},
    {Key(0xD5, 0x05), "Page Cross-Reference Off"},
    {Key(0xD5, 0x06), "Secondary Page Cross-Reference On"},
    {Key(0xD5, 0x07), "Secondary Page Croos-Reference Off"},
    {Key(0xD5, 0x08), "Chapter Cross-Reference On"},
    {Key(0xD5, 0x09), "Chapter Cross-Reference Off"},
    {Key(0xD5, 0x0A), "Volume Cross-Reference On"},
    {Key(0xD5, 0x0B), "Volume Cross-Reference Off"},
    {Key(0xD5, 0x0C), "Paragraph Number Cross-Reference On"},
    {Key(0xD5, 0x0D), "Paragraph Number Cross-Reference Off"},
    {Key(0xD5, 0x0E), "Footnote Cross-Reference On"},
    {Key(0xD5, 0x0F), "Footnote Cross-Reference Off"},
    {Key(0xD5, 0x10), "Endnote Cross-Reference On"},
    {Key(0xD5, 0x11), "Endnote Cross-Reference Off"},
    // 0xD6
    {Key(0xD6, 0x00), "Header A"},
    {Key(0xD6, 0x01), "Header B"},
    {Key(0xD6, 0x02), "Footer A"},
    {Key(0xD6, 0x03), "Footer B"},
    {Key(0xD6, 0x04), "Watermark A"},
    {Key(0xD6, 0x05), "Watermark B"},
    // 0xD7
    {Key(0xD7, 0x00), "Footnote On"},
    {Key(0xD7, 0x01), "Footnote Off"},
    {Key(0xD7, 0x02), "Endnote On"},
    {Key(0xD7, 0x03), "Endnote Off"},
    // 0xD8
    {Key(0xD8, 0x00), "Set User-Defined Counter"},
    {Key(0xD8, 0x01), "Set Box Number"},
    {Key(0xD8, 0x02), "Set Page Number"},
    {Key(0xD8, 0x03), "Set Secondary Page Number"},
    {Key(0xD8, 0x04), "Set Chapter Number"},
    {Key(0xD8, 0x05), "Set Volume Number"},
    {Key(0xD8, 0x06), "Set Paragraph Number"},
    {Key(0xD8, 0x07), "Set Footnote Number"},
    {Key(0xD8, 0x08), "Set Endnote Number"},
    {Key(0xD8, 0x09), "Set Line Number"},
    // 0xD9
    {Key(0xD9, 0x00), "Set User-Defined Counter Number Mode"},
    {Key(0xD9, 0x01), "Set Box Numbering Mode"},
    {Key(0xD9, 0x02), "Set Page Numbering Mode"},
    {Key(0xD9, 0x03), "Set Secondary Page Numbering Mode"},
    {Key(0xD9, 0x04), "Set Chapter Number Mode"},
    {Key(0xD9, 0x05), "Set Volume Numbering Mode"},
    {Key(0xD9, 0x06), "Set Paragraph Numbering Mode"},
    {Key(0xD9, 0x07), "Set Footnote Numbering Mode"},
    {Key(0xD9, 0x08), "Set Endnote Number Mode"},
    {Key(0xD9, 0x09), "Set Line Numbering Mode"},
    {Key(0xD9, 0x0A), "Set Total Page #"},
    // 0xDA
    {Key(0xDA, 0x00), "Display NumRef User-Def On"},
    {Key(0xDA, 0x01), "Display NumRef User-Def Off"},
    {Key(0xDA, 0x02), "Display NumRef Box Num On"},
    {Key(0xDA, 0x03), "Display NumRef Box Num Off"},
    {Key(0xDA, 0x04), "Display NumRef Page Num On"},
    {Key(0xDA, 0x05), "Display NumRef Page Num Off"},
    {Key(0xDA, 0x06), "Display NumRef Secondary Pg Num On"},
    {Key(0xDA, 0x07), "Display NumRef Secondary Pg Num Off"},
    {Key(0xDA, 0x08), "Display NumRef Chapter Num On"},
    {Key(0xDA, 0x09), "Display NumRef Chapter Num Off"},
    {Key(0xDA, 0x0A), "Display NumRef Volume Num On"},
    {Key(0xDA, 0x0B), "Display NumRef Volume Num Off"},
    {Key(0xDA, 0x0C), "Display NumRef Para Num On"},
    {Key(0xDA, 0x0D), "Display NumRef Para Num Off"},
    {Key(0xDA, 0x0E), "Display NumRef Footnote Num On"},
    {Key(0xDA, 0x0F), "Display NumRef Footnote Num Off"},
    {Key(0xDA, 0x10), "Display NumRef Endnote Num On"},
    {Key(0xDA, 0x11), "Display NumRef Endnote Num Off"},
    {Key(0xDA, 0x12), "Display NumRef Line Num On"},
    {Key(0xDA, 0x13), "Display NumRef Line Num Off"},
    {Key(0xDA, 0x14), "Display Total Page #"},
    // 0xDB
    {Key(0xDB, 0x00), "Increment User-Def Num"},
    {Key(0xDB, 0x01), "Increment Box Num"},
    {Key(0xDB, 0x02), "Increment Page Num"},
    {Key(0xDB, 0x03), "Increment Secondary Page Num"},
    {Key(0xDB, 0x04), "Increment Chapter Num"},
    {Key(0xDB, 0x05), "Increment Volume Num"},
    {Key(0xDB, 0x06), "Increment Paragraph Num"},
    {Key(0xDB, 0x07), "Increment Footnote Num"},
    {Key(0xDB, 0x08), "Increment Endnote Numb"},
    {Key(0xDB, 0x09), "Increment Line Num"},
    // 0xDC
    {Key(0xDC, 0x00), "Decrement User-Def Num"},
    {Key(0xDC, 0x01), "Decrement Box Num"},
    {Key(0xDC, 0x02), "Decrement Page Num"},
    {Key(0xDC, 0x03), "Decrement Secondary Page Num"},
    {Key(0xDC, 0x04), "Decrement Chapter Num"},
    {Key(0xDC, 0x05), "Decrement Volume Num"},
    {Key(0xDC, 0x06), "Decrement Paragraph Num"},
    {Key(0xDC, 0x07), "Decrement Footnote Num"},
    {Key(0xDC, 0x08), "Decrement Endnote Numb"},
    {Key(0xDC, 0x09), "Decrement Line Num"},
    // 0xDD
    {Key(0xDD, 0x00), "Style Begin On"},
    {Key(0xDD, 0x01), "Style Begin Off"},
    {Key(0xDD, 0x02), "Style End On"},
    {Key(0xDD, 0x03), "Style End Off"},
    {Key(0xDD, 0x04), "Para Style Begin On (Part1)"},
    {Key(0xDD, 0x05), "Para Style Begin Off (Part1)"},
    {Key(0xDD, 0x06), "Para Style Begin On (Part2)"},
    {Key(0xDD, 0x07), "Para Style Begin Off (Part2)"},
    {Key(0xDD, 0x08), "Para Style End On"},
    {Key(0xDD, 0x09), "Para Style End Off"},
    {Key(0xDD, 0x0A), "Global On"},
    {Key(0xDD, 0x0B), "Global Off"},
    // 0xDE
    {Key(0xDE, 0x00), "Merge Beep"},
    {Key(0xDE, 0x01), "Merge Break"},
    {Key(0xDE, 0x02), "Merge Cancel Off"},
    {Key(0xDE, 0x03), "Merge Cancel On"},
    {Key(0xDE, 0x04), "Merge Continue"},
    {Key(0xDE, 0x05), "Merge Date"},
    {Key(0xDE, 0x06), "Merge Default"},
    {Key(0xDE, 0x07), "Merge Display Stop"},
    {Key(0xDE, 0x08), "Merge Else"},
    {Key(0xDE, 0x09), "Merge End Case"},
    {Key(0xDE, 0x0A), "Merge End Field"},
    {Key(0xDE, 0x0B), "Merge End FOR"},
    {Key(0xDE, 0x0C), "Merge End IF"},
    {Key(0xDE, 0x0D), "Merge End Record"},
    {Key(0xDE, 0x0E), "Merge End WHILE"},
    {Key(0xDE, 0x0F), "Merge Next"},
    {Key(0xDE, 0x10), "Merge Next Record"},
    {Key(0xDE, 0x11), "Merge Page Off"},
    {Key(0xDE, 0x12), "Merge Page On"},
    {Key(0xDE, 0x13), "Merge Print"},
    {Key(0xDE, 0x14), "Merge Quit"},
    {Key(0xDE, 0x15), "Merge Process On"},
    {Key(0xDE, 0x16), "Merge Return"},
    {Key(0xDE, 0x17), "Merge Return Cancel"},
    {Key(0xDE, 0x18), "Merge Return Error"},
    {Key(0xDE, 0x19), "Rewrite"},
    {Key(0xDE, 0x1A), "Step Off"},
    {Key(0xDE, 0x1B), "Step On"},
    {Key(0xDE, 0x1C), "Stop"},
    {Key(0xDE, 0x1D), "Process Off"},
    {Key(0xDE, 0x1E), "FEP Off (Asia)"},
    {Key(0xDE, 0x1F), "FEP On (Asia)"},
    {Key(0xDE, 0x20), "Row Repeat"},
    {Key(0xDE, 0x30), "Merge Assign On"},
    {Key(0xDE, 0x31), "Merge Assign Off "},
    {Key(0xDE, 0x32), "Merge Call On"},
    {Key(0xDE, 0x33), "Merge Call Off"},
    {Key(0xDE, 0x34), "Merge Caps On"},
    {Key(0xDE, 0x35), "Merge Caps Off"},
    {Key(0xDE, 0x36), "Merge Case On"},
    {Key(0xDE, 0x37), "Merge Case Off"},
    {Key(0xDE, 0x38), "Merge CaseOf On"},
    {Key(0xDE, 0x39), "Merge CaseOf Off"},
    {Key(0xDE, 0x3A), "Merge ChainMacro On"},
    {Key(0xDE, 0x3B), "Merge ChainMacro Off"},
    {Key(0xDE, 0x3C), "Merge ChainData On"},
    {Key(0xDE, 0x3D), "Merge ChainData Off"},
    {Key(0xDE, 0x3E), "Merge ChainForm On"},
    {Key(0xDE, 0x3F), "Merge ChainForm Off"},
    {Key(0xDE, 0x40), "Merge Char On"},
    {Key(0xDE, 0x41), "Merge Char Off"},
    {Key(0xDE, 0x42), "Merge Codes On"},
    {Key(0xDE, 0x43), "Merge Codes Off"},
    {Key(0xDE, 0x44), "Merge Comment On"},
    {Key(0xDE, 0x45), "Merge Comment Off"},
    {Key(0xDE, 0x46), "Merge CTON On"},
    {Key(0xDE, 0x47), "Merge CTON Off"},
    {Key(0xDE, 0x48), "Merge Document On(filename)"},
    {Key(0xDE, 0x49), "Merge Document Off"},
    {Key(0xDE, 0x4A), "Merge EmbedMacro On"},
    {Key(0xDE, 0x4B), "Merge EmbedMacro Off"},
    {Key(0xDE, 0x4C), "Merge Field On"},
    {Key(0xDE, 0x4D), "Merge Field Off"},
    {Key(0xDE, 0x4E), "Merge Fieldnames On"},
    {Key(0xDE, 0x4F), "Merge Fieldnames Off"},
    {Key(0xDE, 0x50), "Merge FirstCap On"},
    {Key(0xDE, 0x51), "Merge FirstCap Off"},
    {Key(0xDE, 0x52), "Merge FOR On"},
    {Key(0xDE, 0x53), "Merge FOR Off"},
    {Key(0xDE, 0x54), "Merge FOREACH On"},
    {Key(0xDE, 0x55), "Merge FOREACH Off"},
    {Key(0xDE, 0x56), "Merge GetString On"},
    {Key(0xDE, 0x57), "Merge GetString Off"},
    {Key(0xDE, 0x58), "Merge GO On"},
    {Key(0xDE, 0x59), "Merge GO Off"},
    {Key(0xDE, 0x5A), "Merge IF On"},
    {Key(0xDE, 0x5B), "Merge IF Off"},
    {Key(0xDE, 0x5C), "Merge IFBLANK On"},
    {Key(0xDE, 0x5D), "Merge IFBLANK Off"},
    {Key(0xDE, 0x5E), "Merge IFEXISTS On"},
    {Key(0xDE, 0x5F), "Merge IFEXISTS Off"},
    {Key(0xDE, 0x60), "Merge IfNotBlank On"},
    {Key(0xDE, 0x61), "Merge IfNotBlank Off"},
    {Key(0xDE, 0x62), "Merge Insert On"},
    {Key(0xDE, 0x63), "Merge Insert Off"},
    {Key(0xDE, 0x64), "Merge Keyboard On"},
    {Key(0xDE, 0x65), "Merge Keyboard Off"},
    {Key(0xDE, 0x66), "Merge Label On"},
    {Key(0xDE, 0x67), "Merge Label Off"},
    {Key(0xDE, 0x68), "Merge Local On"},
    {Key(0xDE, 0x69), "Merge Local Off"},
    {Key(0xDE, 0x6A), "Merge Look On"},
    {Key(0xDE, 0x6B), "Merge Look Off"},
    {Key(0xDE, 0x6C), "Merge MrgCmnd On"},
    {Key(0xDE, 0x6D), "Merge MrgCmnd Off"},
    {Key(0xDE, 0x6E), "Merge NestData On"},
    {Key(0xDE, 0x6F), "Merge NestData Off"},
    {Key(0xDE, 0x70), "Merge NestForm On"},
    {Key(0xDE, 0x71), "Merge NestForm Off"},
    {Key(0xDE, 0x72), "Merge NestMacro On"},
    {Key(0xDE, 0x73), "Merge NestMacro Off"},
    {Key(0xDE, 0x74), "Merge NTOC On"},
    {Key(0xDE, 0x75), "Merge NTOC Off"},
    {Key(0xDE, 0x76), "Merge OnCancel On"},
    {Key(0xDE, 0x77), "Merge OnCancel Off"},
    {Key(0xDE, 0x78), "Merge OnError On"},
    {Key(0xDE, 0x79), "Merge OnError Off"},
    {Key(0xDE, 0x7A), "Merge Prompt On"},
    {Key(0xDE, 0x7B), "Merge Prompt Off"},
    {Key(0xDE, 0x7C), "Merge StatusPrompt On"},
    {Key(0xDE, 0x7D), "Merge StatusPrompt Off"},
    {Key(0xDE, 0x7E), "Merge STRLEN On"},
    {Key(0xDE, 0x7F), "Merge STRLEN Off"},
    {Key(0xDE, 0x80), "Merge STRPOS On"},
    {Key(0xDE, 0x81), "Merge STRPOS Off"},
    {Key(0xDE, 0x82), "Merge SUBSTDATA On"},
    {Key(0xDE, 0x83), "Merge SUBSTDATA Off"},
    {Key(0xDE, 0x84), "Merge SUBSTFORM On"},
    {Key(0xDE, 0x85), "Merge SUBSTFORM Off"},
    {Key(0xDE, 0x86), "Merge SUBSTR On"},
    {Key(0xDE, 0x87), "Merge SUBSTR Off"},
    {Key(0xDE, 0x88), "Merge System On"},
    {Key(0xDE, 0x89), "Merge System Off"},
    {Key(0xDE, 0x8A), "Merge ToLower On"},
    {Key(0xDE, 0x8B), "Merge ToLower Off"},
    {Key(0xDE, 0x8C), "Merge ToUpper On"},
    {Key(0xDE, 0x8D), "Merge ToUpper Off"},
    {Key(0xDE, 0x8E), "Merge Variable On"},
    {Key(0xDE, 0x8F), "Merge Variable Off"},
    {Key(0xDE, 0x90), "Merge Wait On"},
    {Key(0xDE, 0x91), "Merge Wait Off"},
    {Key(0xDE, 0x92), "Merge While On"},
    {Key(0xDE, 0x93), "Merge While Off"},
    {Key(0xDE, 0x94), "Merge PostNet On"},
    {Key(0xDE, 0x95), "Merge PostNet Off"},
    // 0xDF
    {Key(0xDF, 0x00), "Character-Anchored Box"},
    {Key(0xDF, 0x01), "Paragraph-Anchored Box"},
    {Key(0xDF, 0x02), "Page-Anchored Box"},
    {Key(0xDF, 0x03), "Graphics Rule"},
    {Key(0xDF, 0x04), SharedText(Msg::EquationBox)},
    // 0xE1
    {Key(0xE1, 0x00), "DDE Start"},
    {Key(0xE1, 0x01), "DDE End"},
    {Key(0xE1, 0x02), "Publish Data Start"},
    {Key(0xE1, 0x03), "Publish Data End"},
    {Key(0xE1, 0x04), "Subscribe Data Start"},
    {Key(0xE1, 0x05), "Subscribe Data End"},
    {Key(0xE1, 0x06), "Subtitle Mark"},
    {Key(0xE1, 0x07), "Subtitle Text"},
    {Key(0xE1, 0x08), "Subtitle Option"},
    {Key(0xE1, 0x09), "Subtitle Text Options"},
    {Key(0xE1, 0x0A), "Suppress Subtitle"},
    {Key(0xE1, 0x0B), "Third Party Function"},
    {Key(0xE1, 0x0C), "Pen Foregrd Color(32-bit) text"},
    {Key(0xE1, 0x0D), "Pen Foregrd Color(64-bit) text"},
    {Key(0xE1, 0x0E), "Pen Backgrd Color(32-bit) text"},
    {Key(0xE1, 0x0F), "Pen Backgrd Color(64-bit) text"},
    {Key(0xE1, 0x10), "PenStyle, Text"},
    {Key(0xE1, 0x11), "PenPattern, Text"},
    {Key(0xE1, 0x12), "PenSize (16-bit), text"},
    {Key(0xE1, 0x13), "PenSize (32-bit), text"},
    {Key(0xE1, 0x14), "Brush Gradient (32-bit), text"},
    {Key(0xE1, 0x15), "Brush Gradient (64-bit), text"},
    {Key(0xE1, 0x16), "Brush Foregrd (32-bit), text"},
    {Key(0xE1, 0x17), "Brush Foregrd (64-bit), text"},
    {Key(0xE1, 0x18), "Brush Backgrd (32-bit), text"},
    {Key(0xE1, 0x19), "Brush Backgrd (64-bit), text"},
    {Key(0xE1, 0x1A), "Brush Pattern, text"},
    {Key(0xE1, 0x1B), "Miscellaneous Attributes, text"},
    {Key(0xE1, 0x1C), "Presentation Slide Options"},
    {Key(0xE1, 0x1D), "KV Organization Chart Mode Opt"},
    {Key(0xE1, 0x1E), "Hide On for Conversions"},
    {Key(0xE1, 0x1F), "Hide Off for Conversions"},
    {Key(0xE1, 0x20), "SGML start tag function"},
    {Key(0xE1, 0x21), "SGML start tag end marker"},
    {Key(0xE1, 0x22), "SGML end tag function"},
    {Key(0xE1, 0x23), "SGML end tag end marker"},
    {Key(0xE1, 0x24), "SGML character reference function"},
    {Key(0xE1, 0x25), "SGML character Reference end marker"},
    {Key(0xE1, 0x26), "SGML entity reference function"},
    {Key(0xE1, 0x27), "SGML entity reference end marker"},
    {Key(0xE1, 0x28), "SGML ignore content function"},
    {Key(0xE1, 0x29), "SGML ignore content end marker"},
    {Key(0xE1, 0x2A), "SGML marked section function"},
    {Key(0xE1, 0x2B), "SGML marked section end marker"},
    {Key(0xE1, 0x2C), "SGML processing instruction function"},
    {Key(0xE1, 0x2D), "SGML processing instruction end marker"},
    // 0xE2
    {Key(0xE2, 0x00), "Fmtr: Wrap Effect"},
    {Key(0xE2, 0x01), "Fmtr: Widow/Orphan ON"},
    {Key(0xE2, 0x02), "Fmtr: Widow/Orphan Off"},
    {Key(0xE2, 0x03), "Fmtr: Writing tools place holder"},
    {Key(0xE2, 0x04), "Fmtr: Drop cap end state"},
    {Key(0xE2, 0x05), "Fmtr: Drop cap begin state"},
    {Key(0xE2, 0x06), "Fmtr: Squeeze chars for AMF - on"},
    {Key(0xE2, 0x07), "Fmtr: Squeese chars for AMF - off"},
    {Key(0xE2, 0x08), "Fmtr: hide space encasement right side"},
    {Key(0xE2, 0x09), "Fmtr: Tagcraft data marker"},
    {Key(0xE2, 0x0A), "Fmtr: Delay codes prefix id info"},
    {Key(0xE2, 0x0B), "Fmtr: Hang character width"},
    {Key(0xE2, 0x0C), "Fmtr: IME Composition"},
    {Key(0xE2, 0x0D), "Fmtr: SGML Tree Update Marker"},
};
static_assert(std::size(kVariableFunctionNames) == 504);

// The rows of each group, so that a lookup searches one group only. The
// table keeps its groups together and in ascending order.
struct GroupRows {
    uint16_t first = 0;
    uint16_t count = 0;
};
constexpr std::array<GroupRows, 0x20> kGroupRows = [] {
    std::array<GroupRows, 0x20> groups{};
    for (size_t i = 0; i < std::size(kVariableFunctionNames); ++i) {
        const uint32_t group = kVariableFunctionNames[i].code & 0xFF;
        GroupRows& g = groups[group - 0xD0];
        if (g.count == 0) g.first = static_cast<uint16_t>(i);
        ++g.count;
    }
    return groups;
}();

constexpr NameTable kSingleByteTable{"SingleByteCodeNames", kSingleByteCodeNames};
constexpr NameTable kAttributeTable{"AttributeNames", kAttributeNames};
constexpr NameTable kCheckTypeTable{"CheckTypeKeys", kCheckTypeKeys};
constexpr NameTable kCheckToolTable{"CheckToolKeys", kCheckToolKeys};
constexpr NameTable kTabGroupTable{"TabGroupNames", kTabGroupNames};
constexpr NameTable kVariableFunctionTable{"VariableFunctionNames", kVariableFunctionNames};

const Profile& CurrentProfile() { return *Ctx().profile; }

}  // namespace

const NameTable& SingleByteCodeNames() { return kSingleByteTable; }
const NameTable& AttributeNames() { return kAttributeTable; }
const NameTable& CheckTypeKeys() { return kCheckTypeTable; }
const NameTable& CheckToolKeys() { return kCheckToolTable; }
const NameTable& TabGroupNames() { return kTabGroupTable; }
const NameTable& VariableFunctionNames() { return kVariableFunctionTable; }

uint32_t FixedFunctionLength(uint8_t code) {
    return code >= 0xF0 && code <= 0xFE ? kFixedLengths[code - 0xF0] : 0;
}

const char* SingleByteCodeName(uint8_t code) {
    const char* name = kSingleByteTable.Lookup(code, CurrentProfile());
    return name ? name : "Undefined or New bytecode";
}

std::string AttributeName(uint8_t attribute) {
    const char* name = kAttributeTable.Lookup(attribute & 0x3F, CurrentProfile());
    std::string text = (attribute & 0x80) ? "Ignore " : "";
    text += name ? name : "Unknown";
    return text;
}

const char* LookupKeyName(uint16_t key, const NameTable& list) {
    const char* name = list.Lookup(key, CurrentProfile());
    return name ? name : "Undefined";
}

namespace {

const char* LookUpVariableFunctionText(uint32_t key, const Profile& profile) {
    const uint8_t group = static_cast<uint8_t>(key);
    const uint8_t sub = static_cast<uint8_t>(key >> 8);
    if (group >= 0xD0 && group <= 0xEF) {
        const GroupRows g = kGroupRows[group - 0xD0];
        const auto rows = std::span<const NameRow>(kVariableFunctionNames).subspan(g.first, g.count);
        if (const char* name = LookupName(rows, kVariableFunctionTable.id, key, profile)) return name;
    }
    if (group == 0xD0 && sub >= 0x23 && sub <= 0x7F) return "New or undocumented EOL function";
    if (group == 0xE0) {
        const char* name = kTabGroupTable.Lookup(sub & 0xF8, profile);
        return name ? name : "Tab Group";
    }
    if (group == 0xE2) return "Formatter Group";
    return "New Undocumented Function";
}

}  // namespace

// Names are kept for the overlays they were looked up under: tests and the
// older check put another profile into the same context.
struct VariableNameCache {
    std::span<const NameOverlay> overlays;
    bool filled = false;
    std::array<const char*, 0x20 * 256> names{};  // nullptr: not looked up yet
};

const char* VariableFunctionText(uint32_t key) {
    EngineContext& c = Ctx();
    const Profile& profile = *c.profile;
    if (key > 0xFFFF || (key & 0xFF) < 0xD0 || (key & 0xFF) > 0xEF) return LookUpVariableFunctionText(key, profile);
    if (!c.variableNames) c.variableNames = std::make_shared<VariableNameCache>();
    VariableNameCache& cache = *c.variableNames;
    const std::span<const NameOverlay> overlays = profile.nameOverlays;
    if (!cache.filled || cache.overlays.data() != overlays.data() || cache.overlays.size() != overlays.size()) {
        cache.names.fill(nullptr);
        cache.overlays = overlays;
        cache.filled = true;
    }
    const char*& name = cache.names[((key & 0xFF) - 0xD0) * 256 + (key >> 8)];
    if (!name) name = LookUpVariableFunctionText(key, profile);
    return name;
}

}  // namespace engine
