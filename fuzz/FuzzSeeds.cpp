// tarnello_fuzz_seeds SOURCE_DIR DATA_DIR OUT_DIR: writes the seed corpus of
// every fuzz target into OUT_DIR/corpus/<target>/ and the dictionaries of the
// text formats into OUT_DIR/dict/<target>.dict, made with the project's own
// writers: the generated skin (DATA_DIR/skin-new), option texts taken from
// the option tests' tables, form descriptions the writer produces, pictures
// the codecs write, INI and registry files their classes write, the
// program's shipped presets and language files (tools/datagen) and a custom
// presets file the program's writer makes from them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "AppFuzz.h"
#include "FuzzForm.h"
#include "FuzzSupport.h"
#include "app/core/AppData.h"
#include "app/core/PresetFiles.h"
#include "app/core/TextFiles.h"
#include "engine/bindings/FFLoad.h"
#include "engine/transcode/FFmpegOptions.h"
#include "platform/classes/FormWriter.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/Registry.h"
#include "platform/classes/StringList.h"
#include "platform/gdi/BmpFormat.h"
#include "platform/gdi/IconFormat.h"
#include "platform/gdi/JpegFormat.h"
#include "platform/gdi/PngFormat.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ListViews.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TreeViews.h"
#include "skin/core/BitmapStreams.h"
#include "skin/core/CompressedSkin.h"
#include "skin/core/SkinData.h"

namespace fs = std::filesystem;
using namespace tarnello::fuzz;

namespace {

std::string Out;

std::string ReadText(const std::string& Path)
{
    std::ifstream f(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Seed Name of Target; Prefix goes before the bytes (a target's mode byte).
void Seed(const std::string& Target, const std::string& Name, const std::string& Bytes)
{
    const std::string dir = Out + "/corpus/" + Target;
    fs::create_directories(dir);
    WriteFileText(dir + "/" + Name, Bytes);
}

std::string Bytes(const std::vector<uint8_t>& Data) { return std::string(Data.begin(), Data.end()); }

// One dictionary entry per word, quoted and escaped as libFuzzer reads them.
void Dictionary(const std::string& Target, const std::set<std::string>& Words)
{
    fs::create_directories(Out + "/dict");
    std::ofstream f(Out + "/dict/" + Target + ".dict");
    for (const std::string& w : Words) {
        f << '"';
        for (unsigned char c : w) {
            if (c == '"' || c == '\\')
                f << '\\' << c;
            else if (c < 32 || c > 126) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                f << hex;
            } else
                f << c;
        }
        f << "\"\n";
    }
}

// ---- option texts -------------------------------------------------------

void OptionSeeds(const std::string& Source)
{
    // The option texts of the tests' tables: string literals that start with "-".
    std::set<std::string> texts;
    static const std::regex literal(R"re("(-[^"\\]*(?:\\.[^"\\]*)*)")re");
    for (const char* test : {"OptionsTest.cpp", "OptionsStreamTest.cpp", "OptionsTargetTest.cpp"}) {
        const std::string code = ReadText(Source + "/tests/engine/" + test);
        for (std::sregex_iterator it(code.begin(), code.end(), literal), end; it != end; ++it) {
            std::string t = (*it)[1];
            if (t.find('\\') == std::string::npos)
                texts.insert(t);
        }
    }
    int n = 0;
    for (const std::string& t : texts) {
        Seed("encoder_options", "output-" + std::to_string(n), "\n" + t + "\n");
        Seed("encoder_options", "input-" + std::to_string(n++), t + "\n\n");
    }
    Seed("encoder_options", "presets", "-ss 0.1\n-c:v mpeg4 -b:v 300k\nqscale=3\nflags=+qscale\n");

    std::set<std::string> words = {":", ",", "v", "a", "s", "d", "p:", "m:", "#", "0:", "1:", "copy", "k", "M"};
    {
        TFFmpegOptions table;
        for (const TOptionDef* po = table.Options(); po->name; ++po) {
            words.insert(std::string("-") + po->name);
            words.insert(std::string("-no") + po->name);
        }
    }
    Dictionary("encoder_options", words);

    Seed("decoder_options", "plain", "\n0\n");
    Seed("decoder_options", "format", "matroska\n1\nprobesize=5000000\n");
    Seed("decoder_options", "unicode-file", "\n2\nanalyzeduration=100000\nfflags=+genpts\n");
    Seed("decoder_options", "file", "matroska\n3\nignore_editlist=1\nb=100k\n");
    Dictionary("decoder_options", {"matroska", "avi", "mov", "image2", "rawvideo", "probesize=", "analyzeduration=",
                                   "fflags=", "b=", "threads=", "=", "\n"});

    int i = 0;
    for (const char* sel : {"v", "a", "s", "d", "t", "V", "a:1", "v:0", "p:1", "p:2:a", "p:1:a:0", "#0x101", "#257",
                            "i:0x102", "m:language", "m:language:eng", "u", "disp:attached_pic", "0", "5", "a:m:language:fre"})
        Seed("stream_selector", "selector-" + std::to_string(i++), sel);
    Dictionary("stream_selector", {"v", "a", "s", "d", "t", "V", ":", "p:", "m:", "#", "i:", "u", "language", "eng", "0x"});
}

// ---- skins ----------------------------------------------------------------

// Section names and keys of an INI text, as dictionary words.
void AddIniWords(const std::string& Text, std::set<std::string>& Words)
{
    std::istringstream lines(Text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '[')
            Words.insert(line.substr(0, line.find(']') + 1));
        else if (size_t eq = line.find('='); eq != std::string::npos && eq > 0)
            Words.insert(line.substr(0, eq + 1));
    }
}

// The compressed skin's payload of Skin without its pictures (the form's
// pictures emptied, the further pictures dropped): small enough to mutate
// quickly.
std::string PayloadWithoutPictures(TspSkinData& Skin)
{
    Skin.FActivePictures.clear();
    Skin.FActivePicturesNames.Clear();
    for (TBitmap* form : {Skin.FPicture.get(), Skin.FInActivePicture.get(), Skin.FMask.get(),
                          Skin.FRollUpPicture.get(), Skin.FRollUpMask.get()})
        form->SetSize(0, 0);
    TspCompressedStoredSkin stored(nullptr);
    stored.LoadFromSkinData(&Skin);
    TMemoryStream payload;
    stored.DeCompressToStream(&payload);
    return std::string(static_cast<const char*>(payload.Memory()), size_t(payload.Size()));
}

void SkinSeeds(const std::string& Data)
{
    const std::string ini = Data + "/skin-new/skin.ini";
    const std::string text = ReadText(ini);
    Seed("skin_ini", "skin-new.ini", text);
    // Small skins: the sections every skin needs, with one skin object or
    // one control piece each. They load in a few milliseconds where the
    // whole skin takes a fifth of a second, and still pass the skin check.
    std::vector<std::pair<std::string, std::string>> pieces;  // name, skin.ini text
    {
        std::vector<std::pair<std::string, std::string>> sections;  // name, text with its header
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line[0] == '[')
                sections.emplace_back(line.substr(1, line.find(']') - 1), "");
            if (!sections.empty())
                sections.back().second += line + "\n";
        }
        auto section = [&](const std::string& Name) {
            for (const auto& [name, body] : sections)
                if (name == Name)
                    return body;
            return std::string();
        };
        // The big pictures swapped for small ones (the pieces' rectangles
        // then reach past the picture, which the reader must bear too).
        std::string core;
        for (const char* name : {"VERSION", "PICTURES", "CURSORS", "FORMINFO", "SKINCOLORS"})
            core += section(name);
        for (const auto& [big, small] : {std::pair{"=pieces.bmp", "=hint.bmp"}, std::pair{"=frame.bmp", "=layer.bmp"}})
            if (const size_t at = core.find(big); at != std::string::npos)
                core.replace(at, std::strlen(big), small);
        for (const char* list : {"SKINOBJECTS", "SKINCONTROLS"}) {
            const char* other = std::string(list) == "SKINOBJECTS" ? "SKINCONTROLS" : "SKINOBJECTS";
            std::istringstream entries(section(list));
            std::string entry;
            while (std::getline(entries, entry)) {
                const size_t eq = entry.find('='), colon = entry.find(':');
                if (eq == std::string::npos || colon == std::string::npos || entry.compare(0, 6, "count=") == 0)
                    continue;
                const std::string name = entry.substr(eq + 1, colon - eq - 1);
                pieces.emplace_back(name, core + "[" + list + "]\ncount=1\n0=" + entry.substr(eq + 1) + "\n" +
                                              section(name) + "[" + other + "]\ncount=0\n");
            }
        }
        for (const auto& [name, ini] : pieces)
            Seed("skin_ini", "piece-" + name, ini);
    }
    std::set<std::string> words = {"[", "]", "=", ",", ".bmp", ".jpg", ".cur", "0,0,0,0", "-1"};
    AddIniWords(text, words);
    Dictionary("skin_ini", words);

    // The compressed skin: the whole file, and the payload of the skin
    // without its pictures.
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    if (!skin.LoadFromFile(ini))
        throw Exception("cannot load " + ini + ": " + skin.LastError());
    const std::string file = Out + "/skin.tsk";
    skin.SaveToCompressedFile(file);
    Seed("compressed_skin", "skin-new", std::string(1, '\0') + ReadText(file));
    Seed("compressed_skin", "payload", "\1" + PayloadWithoutPictures(skin));
    fs::remove(file);
    // The payload of each small skin.
    {
        const std::string folder = Out + "/piece-skin";
        CopyFolderFiles(Data + "/skin-new", folder);
        for (const auto& [name, ini] : pieces) {
            WriteFileText(folder + "/skin.ini", ini);
            TspSkinData part(nullptr);
            part.BuildMode = true;
            if (!part.LoadFromFile(folder + "/skin.ini"))
                throw Exception("cannot load the skin piece " + name + ": " + part.LastError());
            Seed("compressed_skin", "piece-" + name, "\1" + PayloadWithoutPictures(part));
        }
        fs::remove_all(folder);
    }
    Dictionary("compressed_skin", words);

    // The skin library's bitmap stream form, a PCX picture, rectangle texts.
    TspBitmap bitmap;
    bitmap.SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            *bitmap.GetPixelPtr(x, y) = TspColor(0x00FF00FFu * unsigned(x + y));
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    TspBitmapLink link;
    link.SetName("piece");
    link.SetRect(TRect(1, 1, 4, 3));
    link.SaveToStream(&stream);
    bitmap.SaveToStream(&stream);
    link.SaveToStream(&stream);
    Seed("skin_bitmap", "stream", std::string(1, '\0') + std::string(static_cast<const char*>(stream.Memory()),
                                                                       size_t(stream.Size())));
    // An 8-bit PCX of 4 x 2 pixels: header, run-length rows, palette.
    std::string pcx(128, '\0');
    pcx[0] = 10, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8;
    pcx[8] = 3, pcx[10] = 1;             // xmax, ymax
    pcx[65] = 1, pcx[66] = 4;            // planes, bytes per line
    pcx += std::string("\xC4\x01", 2) + std::string("\x02\x03\xC2\x04", 4);
    pcx += '\x0C';
    for (int i = 0; i < 256; ++i)
        pcx += {char(i), char(255 - i), char(i / 2)};
    Seed("skin_bitmap", "pcx", "\1" + pcx);
    Seed("skin_bitmap", "rect", "\2" "1,2,30,40");
    Seed("skin_bitmap", "rect-spaced", "\2" " 1 , 2 , 30 , 40 ");
}

// ---- pictures -------------------------------------------------------------

TDibImage Picture(int BitCount)
{
    TDibImage image;
    image.Allocate(7, 5, BitCount);
    if (BitCount <= 8)
        for (int i = 0; i < (1 << BitCount); ++i)
            image.Palette.push_back(uint32_t(i * 0x010203));
    for (int y = 0; y < image.Height; ++y)
        for (size_t x = 0; x < image.Stride(); ++x)
            image.Row(y)[x] = uint8_t(x * 37 + y * 11);
    image.HasAlpha = BitCount == 32;
    return image;
}

void PictureSeeds()
{
    std::string concatenated;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        std::vector<uint8_t> bmp;
        WriteBmp(Picture(bits), bmp);
        Seed("pictures", "bmp-" + std::to_string(bits), std::string(1, '\0') + Bytes(bmp));
        concatenated += Bytes(bmp);
    }
    Seed("pictures", "bmp-stream", "\5" + concatenated);
    for (int bits : {24, 32}) {
        std::vector<uint8_t> png;
        WritePng(Picture(bits), png);
        Seed("pictures", "png-" + std::to_string(bits), "\1" + Bytes(png));
    }
    for (bool gray : {false, true}) {
        std::vector<uint8_t> jpeg;
        WriteJpeg(Picture(24), jpeg, 75, gray);
        Seed("pictures", gray ? "jpeg-gray" : "jpeg", "\2" + Bytes(jpeg));
    }
    std::vector<TIconImage> icons(2);
    icons[0].Image = Picture(32);
    icons[1].Image = Picture(8);
    icons[1].HotSpot = TPoint(2, 3);
    std::vector<uint8_t> ico, cur;
    WriteIcon(icons, ico);
    WriteIcon({icons[1]}, cur, true);
    Seed("pictures", "ico", "\3" + Bytes(ico));
    Seed("pictures", "cur", "\4" + Bytes(cur));
}

// ---- form descriptions -----------------------------------------------------

void FormSeeds()
{
    ::setenv("TARNELLO_BACKEND", "headless", 1);
    RegisterFuzzFormClasses();
    MakeFormPictures(Out + "/pictures");

    auto* form = new TFuzzForm(nullptr);
    form->SetName("FuzzForm");
    form->SetCaption("Described");
    auto* panel = new TPanel(form);
    panel->SetName("C1");
    panel->SetParent(form);
    panel->SetBounds(4, 4, 200, 100);
    auto* label = new TLabel(form);
    label->SetName("C2");
    label->SetParent(panel);
    label->SetCaption("Hello");
    auto* list = new TListBox(form);
    list->SetName("C3");
    list->SetParent(panel);
    list->Items()->SetCommaText("one,two,\"three four\"");
    auto* pages = new TPageControl(form);
    pages->SetName("C4");
    pages->SetParent(form);
    auto* sheet = new TTabSheet(form);
    sheet->SetName("C5");
    sheet->SetPageControl(pages);
    sheet->SetCaption("Files");
    auto* tree = new TTreeView(form);
    tree->SetName("C6");
    tree->SetParent(sheet);
    TTreeNode* root = tree->Items()->Add(nullptr, "root");
    tree->Items()->AddChild(root, "child");
    auto* view = new TListView(form);
    view->SetName("C7");
    view->SetParent(form);
    view->Columns()->Add()->SetCaption("Name");
    view->Items()->Add()->SetCaption("item");
    auto* menu = new TPopupMenu(form);
    menu->SetName("C8");
    auto* item = new TMenuItem(menu);
    item->SetCaption("&Open");
    menu->Items()->Add(item);
    form->SetPopupMenu(menu);
    Seed("form_description", "form", WriteComponentText(form));
    form->Free();

    std::set<std::string> words = {"object ", "inherited ", "end", " = ", ": ", "(", ")", "<", ">", "[", "]", "{",
                                   "}", "item", "True", "False", "'", "#13", ".", "C1", "C2", "FuzzClick", "FuzzChange",
                                   "clRed", "clBtnFace", "$00FF00FF", "picture.bmp", "picture.png", "icons/strip.png"};
    for (const char* c : {"TFuzzForm", "TForm", "TScrollBox", "TPanel", "TBevel", "TImage", "TPaintBox", "TShape",
                          "TTimer", "TMainMenu", "TPopupMenu", "TMenuItem", "TActionList", "TAction", "TImageList",
                          "TLabel", "TEdit", "TMemo", "TListBox", "TMaskEdit", "TTabControl", "TPageControl",
                          "TTabSheet", "TUpDown", "TTreeView", "TListView"})
        words.insert(c);
    for (const char* p : {"Left", "Top", "Width", "Height", "Caption", "Text", "Color", "Font", "Font.Height",
                          "Font.Style", "Items.Strings", "Lines.Strings", "Align", "Anchors", "Visible", "Enabled",
                          "OnClick", "OnChange", "PopupMenu", "Picture", "Bitmaps", "NodeData", "ItemData", "Columns",
                          "Constraints.MinWidth", "ActivePage", "PageControl", "Action", "Images", "ShortCut"})
        words.insert(p);
    Dictionary("form_description", words);
}

// ---- INI files, string lists, the registry ---------------------------------

void ClassesSeeds(const std::string& Data)
{
    const std::string ini = Out + "/written.ini";
    {
        TMemIniFile f(ini);
        f.WriteString("Main", "Name", "value with spaces");
        f.WriteInteger("Main", "Count", -12);
        f.WriteBool("Main", "On", true);
        f.WriteFloat("Other", "Ratio", 1.5);
        f.UpdateFile();
    }
    Seed("ini_file", "written", ReadText(ini));
    Seed("ini_file", "skin-new", ReadText(Data + "/skin-new/skin.ini"));
    fs::remove(ini);
    Dictionary("ini_file", {"[", "]", "=", ";", "\r\n", "\n", "$", "0x", "\xEF\xBB\xBF"});

    TStringList list;
    list.Add("plain");
    list.Add("with space");
    list.Add("quote\"d");
    list.Add("");
    list.Add("comma,here");
    Seed("string_list", "comma", std::string("\0,\"", 3) + list.CommaText());
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    Seed("string_list", "delimited", "\1;'" + list.DelimitedText());
    Seed("string_list", "strict", "\5|\"a|b c|\"d|e\"");
    Seed("string_list", "text", std::string("\2\0\0", 3) + list.Text());
    Seed("string_list", "file-bom", std::string("\3\0\0", 3) + "\xEF\xBB\xBF" + list.Text());
    Dictionary("string_list", {"\"", "'", ",", ";", " ", "\"\"", "\r\n", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"});

    const std::string config = Out + "/config";
    fs::create_directories(config + "/tarnello");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    {
        TRegistry reg;
        reg.OpenKey("\\Software\\Tarnello\\Tarnello", true);
        reg.WriteString("OutputPath", "/home/me/Videos");
        reg.WriteExpandString("Cache", "$HOME/cache");
        reg.WriteInteger("recentformatind", 3);
        reg.WriteFloat("Ratio", 0.75);
        reg.WriteBinaryData("Bytes", "\1\2\3", 3);
        reg.OpenKey("Sub\\Deeper", true);
        reg.WriteBool("Flag", true);
    }
    Seed("registry_file", "written", ReadText(TRegistry::StorageFileName()));
    fs::remove_all(config);
    Dictionary("registry_file", {"[HKEY_CURRENT_USER\\", "[HKEY_LOCAL_MACHINE\\", "[-HKEY_CURRENT_USER\\", "]",
                                 "\"=\"", "=dword:", "=hex:", "=hex(2):", "@=", "\\\\", "\\\"", "\r\n"});
}


// ---- the application's data files -----------------------------------------

void AppSeeds()
{
    const std::string presets = ShippedDataFolder() + "/tarnello-profiles";
    const std::string languages = ShippedDataFolder() + "/languages";
    std::set<std::string> lists;
    std::vector<TFormat> formats;
    for (const char* language : {"0", "1"}) {
        const std::string profiles = ReadTextFile(presets + "/profiles" + language + ".dat");
        const std::string rows = ReadInvertedTextFile(presets + "/formats" + language + ".dat");
        Seed("preset_files", std::string("categories-") + language, "\0" + profiles);
        Seed("preset_files", std::string("presets-") + language, "\1" + rows);
        Seed("text_files", std::string("categories-") + language, "\0" + profiles);
        Seed("text_files", std::string("presets-") + language, "\1" + rows);
        // A few rows alone: a small input mutates many times faster.
        TStringList lines;
        lines.SetText(rows);
        std::string few;
        for (int i = 0; i < lines.Count(); ++i)
            if (i < 6 || i >= lines.Count() - 2)
                few += lines[i] + "\r\n";
        Seed("preset_files", std::string("few-presets-") + language, "\1" + few);
        for (int i = 0; i < lines.Count(); ++i) {
            if (lines[i].find("<ROW ") == std::string::npos)
                continue;
            TFormat f = ParseFormatRow(lines[i]);
            for (const std::string* l : {&f.VideoCodecs, &f.Resolutions, &f.FrameRates, &f.VideoBitRates,
                                         &f.AudioCodecs, &f.SampleRates, &f.Channels, &f.AudioBitRates})
                if (!l->empty())
                    lists.insert(*l);
            if (formats.size() < 4)
                formats.push_back(std::move(f));
        }
    }
    // The custom presets file as the program writes it, with values that
    // need entities.
    formats.front().Description = "\"quoted\" <tag> & 'apostrophe' name=\"x\"";
    ResetApplicationData();
    App().Profiles.push_back({"Custom Profiles", "-1", "menucustom", formats});
    App().CustomProfileIndex = 0;
    Seed("preset_files", "custom", "\2" + CustomProfilesText());
    Seed("text_files", "custom-bom", std::string("\0\xEF\xBB\xBF", 4) + CustomProfilesText());
    App().Profiles[0].Formats.resize(1);
    Seed("preset_files", "custom-one", "\2" + CustomProfilesText());
    ResetApplicationData();

    std::set<std::string> words = {"<ROW ", "/>", "<ROWDATA>", "</ROWDATA>", "</DATAPACKET>", "<category id=\"",
                                   " title=\"", " icon=\"", "</profile>", "<profile height=\"", "\"", "&amp;",
                                   "&quot;", "&lt;", "&gt;", "&apos;", "\r\n", "-1", "$", ",", "*"};
    static const std::regex attribute(R"re( ([a-z_]+)=")re");
    const std::string row = CustomProfileRow(TFormat());
    for (std::sregex_iterator it(row.begin(), row.end(), attribute), end; it != end; ++it)
        words.insert(" " + std::string((*it)[1]) + "=\"");
    Dictionary("preset_files", words);

    int n = 0;
    for (const std::string& l : lists)
        Seed("option_lists", "list-" + std::to_string(n++), l);
    Dictionary("option_lists", {"$", ",", "*", "640*480", "kbps", "fps", "Hz"});

    const std::string table = ReadTextFile(languages + "/transl.dat");
    const std::string strings = ReadTextFile(languages + "/resource1.dat");
    Seed("translation", "table-english", "\0" + table);
    Seed("translation", "table-spanish", "\2" + table);
    Seed("translation", "strings", "\1" + strings);
    Seed("text_files", "strings", "\0" + strings);
    std::set<std::string> names = {"=", "\r\n", "\n", "1", "2", "3", "0", "-1", "English", "\xEF\xBB\xBF"};
    std::istringstream lines(strings);
    std::string line;
    while (std::getline(lines, line))
        if (size_t eq = line.find('='); eq != std::string::npos && eq > 0)
            names.insert(line.substr(0, eq + 1));
    Dictionary("translation", names);
    Dictionary("text_files", {"\xEF\xBB\xBF", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xC0\x80",
                              "\xED\xA0\x80", "\xF4\x90\x80\x80", "\r\n"});
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarnello_fuzz_seeds SOURCE_DIR DATA_DIR OUT_DIR\n");
        return 2;
    }
    try {
        Out = argv[3];
        fs::remove_all(Out + "/corpus");
        if (!FFLoader().Load(EncoderLibraries))
            throw Exception("cannot bind the FFmpeg libraries: " + FFLoader().LastErrMsg());
        OptionSeeds(argv[1]);
        SkinSeeds(argv[2]);
        PictureSeeds();
        FormSeeds();
        ClassesSeeds(argv[2]);
        AppSeeds();
    } catch (const Exception& e) {
        std::fprintf(stderr, "tarnello_fuzz_seeds: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
