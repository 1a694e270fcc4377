#include "engine/PacketNames.h"

#include "engine/EngineContext.h"
#include "engine/Format.h"

namespace engine {

// 0x81 and 0x82 read as in file type 17; other documents rename them.
constexpr std::array<const char*, kPacketTypeCount> kPacketTypeNamesTable = {
    SharedText(Msg::IndexInformation),  // 0x00
    "Document Height",  // 0x01
    "Document Settings",  // 0x02
    "Document Summary",  // 0x03
    "Form Data",  // 0x04
    "Writing Tools",  // 0x05
    "Character Map",  // 0x06
    SharedText(Msg::NativeFilename),  // 0x07
    "General QW Text",  // 0x08
    "Bookmark Data",  // 0x09
    "Macro Executable",  // 0x0A
    "Generate Definition",  // 0x0B
    "Sub-Document",  // 0x0C
    "TOA Mark",  // 0x0D
    "Index Mark",  // 0x0E
    "Cross Reference Target",  // 0x0F
    "NeXT - total page count",  // 0x10
    "Counters Data",  // 0x11
    "Extended Document Summary",  // 0x12
    "Macro Labels",  // 0x13
    "Macro Global Labels",  // 0x14
    "Macro Translation Table",  // 0x15
    "Template File name",  // 0x16
    "Hyper Text Bookmark name",  // 0x17
    "Box Text Filename",  // 0x18
    "Equation text filename",  // 0x19
    "Envelope Address Document",  // 0x1A
    "Comment/Annotation",  // 0x1B
    "QW Text Hidden Outline",  // 0x1C
    "Doc Needs SpellChk (6.1)",  // 0x1D
    "Prefix Formatter Region (6.1)",  // 0x1E
    "MidEast Doc Flags(6.1)",  // 0x1F
    "Font Name List",  // 0x20
    "Font PS Table",  // 0x21
    "Font List (6.0)",  // 0x22
    "Printer Selection",  // 0x23
    SharedText(Msg::EmbeddedPrinterCommand),  // 0x24
    "Initial Font",  // 0x25
    "Print Info for Q-codes",  // 0x26
    "Output Device type or port",  // 0x27
    "Machine Dependant info",  // 0x28
    "PS Table list",  // 0x29
    "Dictionary info",  // 0x2A
    "Form Name",  // 0x2B
    "Subdoc Summary",  // 0x2C
    "Subdoc Password",  // 0x2D
    SharedText(Msg::DeletablePacket),  // 0x2E
    "Routing Annotation",  // 0x2F
    "Style Data",  // 0x30
    "Outline Style",  // 0x31
    "Personal Style File",  // 0x32
    "Shared Style File",  // 0x33
    "Shared/Personal file dates",  // 0x34
    "MidEast Default Font/Size (6.1)",  // 0x35
    "FarEast English AFC (6.1)",  // 0x36
    "Level 9 Outline Style Information",  // 0x37
    "ActiveX Control Data",  // 0x38
    "Document Embedded Fonts",  // 0x39
    "Undefined",  // 0x3A
    "Undefined",  // 0x3B
    "Visual Basic VAO storage",  // 0x3C
    "Visual Basic APC storage",  // 0x3D
    "Visual Basic Storage Area",  // 0x3E
    "Native Filename Child",  // 0x3F
    "Graphic Filename",  // 0x40
    "Box Style",  // 0x41
    "Border Line Style",  // 0x42
    "Fill Style",  // 0x43
    "Border Style",  // 0x44
    "Graphic Line Count",  // 0x45
    "Tagcraft TAG attributes",  // 0x46
    "Tagcraft attribute text",  // 0x47
    "Tagcraft .LGC name",  // 0x48
    "Tagcraft Ext. File ref",  // 0x49
    "Tagcraft notation attrs",  // 0x4A
    "Tagcraft DTD entity ref",  // 0x4B
    "BOX grouping info",  // 0x4C
    "Convert options, etc.",  // 0x4D
    "CHECK as you go valid gate",  // 0x4E
    "SGML Box Element Mapping",  // 0x4F
    "SGML",  // 0x50
    "SGML",  // 0x51
    "Form file's ODBC data source",  // 0x52
    "Windows data store directory",  // 0x53
    "Windows data store data",  // 0x54
    "Desired Font",  // 0x55
    "Merge File type",  // 0x56
    "Sound clip",  // 0x57
    "Sound clip child",  // 0x58
    "Merge Data",  // 0x59
    "Merge Address Book",  // 0x5A
    "Named Object name",  // 0x5B
    "Named Object list",  // 0x5C
    "UA persistent data",  // 0x5D
    "Prefix Time Stamp",  // 0x5E
    "Target frame for html doc link",  // 0x5F
    "Text/Single Cell Name",  // 0x60
    "Table names",  // 0x61
    "Page Number Format",  // 0x62
    "Math Formula (Columns)",  // 0x63
    "Equation Compact Box",  // 0x64
    "Format before printing",  // 0x65
    "Unique Table ID",  // 0x66
    "Unique Floating Cell ID (6.1)",  // 0x67
    "Table Database (6.1)",  // 0x68
    "Table Style (6.1)",  // 0x69
    "HTML info for tables",  // 0x6A
    "HTML info for table rows",  // 0x6B
    "HTML info for table cells",  // 0x6C
    "World Wide Web",  // 0x6D
    "QW5.x native fonts",  // 0x6E
    "Graphics Data",  // 0x6F
    "OLE Object Descriptor",  // 0x70
    "OLE Object Data",  // 0x71
    "File Theta",  // 0x72
    "DDELink Information",  // 0x73
    "DDELink data",  // 0x74
    "Template Data",  // 0x75
    "Mac Specific data",  // 0x76
    "Undo Information (6.1)",  // 0x77
    "Font PS Table QWwin",  // 0x78
    "List of Match fonts in DOC",  // 0x79
    "PS table IDs",  // 0x7A
    "Undo - Swapped Style (6.1)",  // 0x7B
    "OBEX Data ID (6.1)",  // 0x7C
    "SGML - Tag attributes (6.1)",  // 0x7D
    "SGML - Attribute value (6.1)",  // 0x7E
    "SGML - LGC Filename (6.1)",  // 0x7F
    "SGML - External File (6.1)",  // 0x80
    "Misc. 1 (only in setup)",  // 0x81
    "Misc. 2 ",  // 0x82
    "Owner data",  // 0x83
    "Monitor attributes",  // 0x84
    "Path names",  // 0x85
    "Selected keyboard",  // 0x86
    "Envelope options",  // 0x87
    "Undefined",  // 0x88
    "Chained main dictionaries",  // 0x89
    "Chained supp dictionaries",  // 0x8A
    "Network paths",  // 0x8B
    "Undefined",  // 0x8C
    "Undefined",  // 0x8D
    "Undefined",  // 0x8E
    "Undefined",  // 0x8F
    "default network print queue",  // 0x90
    "network user name",  // 0x91
    "Undefined",  // 0x92
    "SET file prtr sel. 5.1",  // 0x93
    "printer list (p_entry list)",  // 0x94
    "print options",  // 0x95
    "SFT locations",  // 0x96
    "default index name",  // 0x97
    "Undefined",  // 0x98
    "Undefined",  // 0x99
    "Undefined",  // 0x9A
    "Undefined",  // 0x9B
    "Undefined",  // 0x9C
    "Undefined",  // 0x9D
    "Undefined",  // 0x9E
    "Undefined",  // 0x9F
    "MONO",  // 0xA0
    "CGA",  // 0xA1
    "PC3270",  // 0xA2
    "EGA (italics)",  // 0xA3
    "EGA (underline)",  // 0xA4
    "EGA (small caps)",  // 0xA5
    "EGA (512 char font)",  // 0xA6
    SharedText(Msg::EgaReserved),  // 0xA7
    SharedText(Msg::EgaReserved),  // 0xA8
    SharedText(Msg::EgaReserved),  // 0xA9
    "HRF (12 fonts)",  // 0xAA
    "HRF ( 6 fonts)",  // 0xAB
    SharedText(Msg::HrfReserved),  // 0xAC
    SharedText(Msg::HrfReserved),  // 0xAD
    SharedText(Msg::HrfReserved),  // 0xAE
    SharedText(Msg::HrfReserved),  // 0xAF
    "Undefined",  // 0xB0
    "graphics mode colors",  // 0xB1
    "NEC PC-9801",  // 0xB2
    "NEC PC-9801 512 char font",  // 0xB3
    "Undefined",  // 0xB4
    "Undefined",  // 0xB5
    "Undefined",  // 0xB6
    "Undefined",  // 0xB7
    "Undefined",  // 0xB8
    "Undefined",  // 0xB9
    "Undefined",  // 0xBA
    "Undefined",  // 0xBB
    "Undefined",  // 0xBC
    "Undefined",  // 0xBD
    "Undefined",  // 0xBE
    "Undefined",  // 0xBF
    "cabinet list starting value",  // 0xC0
    "Undefined",  // 0xC1
    "Undefined",  // 0xC2
    "Undefined",  // 0xC3
    "Undefined",  // 0xC4
    "Undefined",  // 0xC5
    "Undefined",  // 0xC6
    "Undefined",  // 0xC7
    "Undefined",  // 0xC8
    "Undefined",  // 0xC9
    "Undefined",  // 0xCA
    "Undefined",  // 0xCB
    "Undefined",  // 0xCC
    "Undefined",  // 0xCD
    "Undefined",  // 0xCE
    "Undefined",  // 0xCF
    "retrieve file list",  // 0xD0
    "form file list",  // 0xD1
    "data file list",  // 0xD2
    "macro file list",  // 0xD3
    "sort input file list",  // 0xD4
    "sort output file list",  // 0xD5
    "Return Mail History List",  // 0xD6
};
const std::array<const char*, kPacketTypeCount> kPacketTypeNames = kPacketTypeNamesTable;

std::string PacketTypeName(uint32_t type, uint32_t entry, uint8_t fileType) {
    if (type >= kPacketTypeCount) return Format("0x%X packed Undefined", type);
    const Profile& profile = *Ctx().profile;
    // A profile renames rows; a row it removes reads as the undefined types do.
    auto overlaid = [&](uint32_t row, const char* name) -> std::string {
        const NameOverlayRow* o = profile.OverlayRow("PacketTypeNames", row);
        return o ? (o->name ? o->name : "Undefined") : name;
    };
    if (type == 0) return entry == 0 ? Text(Msg::IndexInformation) : overlaid(kAvailableEntryRow, "Available Entry");
    if (fileType != 17) {
        if (type == 0x81) return "SGML - Notation Attr (6.1)";
        if (type == 0x82) return "SGML - DTD Entity Ref";
    }
    return overlaid(type, kPacketTypeNames[type]);
}

std::string PacketTypeName(uint32_t type, uint32_t entry) {
    return PacketTypeName(type, entry, Ctx().doc.header.FileType());
}

}  // namespace engine
