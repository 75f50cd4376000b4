// Reads the icon, manifest and version information back out of the built Velquin.exe, the way
// Explorer, the loader and the window class see them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

std::wstring VelquinExePath() {
  // All executables of the build land in one directory, so the program sits next to this test.
  wchar_t own[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
  std::wstring path(own, length);
  path.erase(path.find_last_of(L"\\/") + 1);
  return path + L"Velquin.exe";
}

std::string ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name) {
  HRSRC info = FindResourceW(module, name, type);
  if (!info) return {};
  HGLOBAL loaded = LoadResource(module, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return std::string(static_cast<const char*>(data), SizeofResource(module, info));
}

uint32_t BigEndian32(const std::string& bytes, size_t offset) {
  auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])); };
  return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

// The opening tag of the first <tag ...> element whose attributes contain `needle`, or "".
std::string ElementWith(const std::string& xml, const std::string& tag, const std::string& needle) {
  for (size_t start = xml.find("<" + tag); start != std::string::npos; start = xml.find("<" + tag, start + 1)) {
    std::string element = xml.substr(start, xml.find('>', start) - start + 1);
    if (element.find(needle) != std::string::npos) return element;
  }
  return {};
}

#pragma pack(push, 2)
struct GroupIconHeader {
  WORD reserved;
  WORD type;
  WORD count;
};
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colourCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)

class ExeResources : public ::testing::Test {
 protected:
  void SetUp() override {
    path = VelquinExePath();
    ASSERT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES)
        << "Velquin.exe is not built next to this test";
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << "error " << GetLastError();

    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    versionBlock.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, versionBlock.data()));
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }

  const void* VersionValue(const std::wstring& subBlock, UINT* length) {
    void* value = nullptr;
    *length = 0;
    if (!VerQueryValueW(versionBlock.data(), subBlock.c_str(), &value, length)) return nullptr;
    return value;
  }

  std::wstring path;
  HMODULE module = nullptr;
  std::vector<BYTE> versionBlock;
};

TEST_F(ExeResources, StringTableReadsBackExactly) {
  struct Case {
    const wchar_t* key;
    const wchar_t* value;
  };
  const Case cases[] = {
      {L"CompanyName", L"Kestrel Atölyesi"},
      {L"FileDescription", L"Velquin - Ekran Üzeri Çizim"},
      {L"FileVersion", L"1.0.1.0"},
      {L"ProductName", L"Velquin"},
      {L"ProductVersion", L"1.0.1"},
      {L"LegalCopyright", L"© 2026 Kestrel Atölyesi. Tüm hakları saklıdır."},
      {L"OriginalFilename", L"Velquin.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << std::wstring(c.key));
    UINT length = 0;
    const void* value = VersionValue(std::wstring(L"\\StringFileInfo\\041F04B0\\") + c.key, &length);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), std::wstring(c.value));
  }
}

TEST_F(ExeResources, FixedFileInfoNamesVersionOneZeroOneZeroApp) {
  UINT length = 0;
  auto info = static_cast<const VS_FIXEDFILEINFO*>(VersionValue(L"\\", &length));
  ASSERT_NE(info, nullptr);
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(info->dwFileVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(info->dwFileVersionLS, MAKELONG(0, 1));
  EXPECT_EQ(info->dwProductVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(info->dwProductVersionLS, MAKELONG(0, 1));
  EXPECT_EQ(info->dwFileFlags & info->dwFileFlagsMask, 0u);
  EXPECT_EQ(info->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
  EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(ExeResources, TranslationIsTurkishUnicodeOnly) {
  UINT length = 0;
  auto words = static_cast<const WORD*>(VersionValue(L"\\VarFileInfo\\Translation", &length));
  ASSERT_NE(words, nullptr);
  ASSERT_EQ(length, 2 * sizeof(WORD));
  EXPECT_EQ(words[0], 0x041F);
  EXPECT_EQ(words[1], 0x04B0);
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
  reinterpret_cast<std::set<WORD>*>(languages)->insert(language);
  return TRUE;
}

TEST_F(ExeResources, EveryResourceIsStoredAsUsEnglish) {
  struct Case {
    LPCWSTR type;
    int id;
  };
  const Case cases[] = {{RT_GROUP_ICON, IDI_APP}, {RT_MANIFEST, 1}, {RT_VERSION, 1}, {RT_ICON, 1}, {RT_ICON, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << reinterpret_cast<uintptr_t>(c.type) << " id " << c.id);
    std::set<WORD> languages;
    EnumResourceLanguagesW(module, c.type, MAKEINTRESOURCEW(c.id), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::set<WORD>{0x0409});
  }
}

TEST_F(ExeResources, IconGroupHoldsSevenPngImagesFrom16To256) {
  std::string group = ResourceBytes(module, RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_APP));
  const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
  ASSERT_EQ(group.size(), sizeof(GroupIconHeader) + 7 * sizeof(GroupIconEntry));
  GroupIconHeader header;
  std::memcpy(&header, group.data(), sizeof header);
  EXPECT_EQ(header.reserved, 0);
  EXPECT_EQ(header.type, 1);
  ASSERT_EQ(header.count, 7);

  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(testing::Message() << "size " << sizes[i]);
    GroupIconEntry entry;
    std::memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
    EXPECT_EQ(entry.width == 0 ? 256 : entry.width, sizes[i]);
    EXPECT_EQ(entry.height == 0 ? 256 : entry.height, sizes[i]);
    EXPECT_EQ(entry.bitCount, 32);

    std::string image = ResourceBytes(module, RT_ICON, MAKEINTRESOURCEW(entry.id));
    ASSERT_EQ(image.size(), entry.bytesInRes);
    ASSERT_GE(image.size(), 33u);  // signature and the whole IHDR chunk
    EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(BigEndian32(image, 8), 13u);
    EXPECT_EQ(image.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(image, 16), static_cast<uint32_t>(sizes[i]));
    EXPECT_EQ(BigEndian32(image, 20), static_cast<uint32_t>(sizes[i]));
    EXPECT_EQ(image[24], 8) << "bit depth";
    EXPECT_EQ(image[25], 6) << "colour type: RGBA";
  }
}

// The 32-bit pixels (0xAARRGGBB) of a loaded icon's colour bitmap, top row first.
std::vector<uint32_t> IconPixels(HICON icon, int size) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return {};
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  if (rows != size) return {};
  return pixels;
}

TEST_F(ExeResources, IconLoadsAtEachSizeAndShowsThePencilOnBlue) {
  struct Probe {
    const char* what;
    double x, y;  // fraction of the icon's side
    uint32_t argb;
  };
  const Probe probes[] = {
      {"outside the top-left corner", 0.01, 0.01, 0x00000000},
      {"outside the top-right corner", 0.99, 0.01, 0x00000000},
      {"outside the bottom-left corner", 0.01, 0.99, 0x00000000},
      {"outside the bottom-right corner", 0.99, 0.99, 0x00000000},
      {"ground above the pencil", 0.2, 0.2, 0xFF2563EB},
      {"ground below the pencil", 0.8, 0.8, 0xFF2563EB},
      {"stripe along the body", 0.55, 0.45, 0xFFEF4444},
      {"side of the body", 0.61, 0.51, 0xFFFFFFFF},
      {"tip at the lower left", 0.276, 0.724, 0xFFFACC15},
  };
  for (int size : {16, 32, 48, 256}) {
    SCOPED_TRACE(testing::Message() << "size " << size);
    auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << "error " << GetLastError();
    std::vector<uint32_t> pixels = IconPixels(icon, size);
    DestroyIcon(icon);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(size) * size);
    if (size < 32) continue;  // too few pixels for the probes to sit clear of every edge
    for (const Probe& p : probes) {
      uint32_t pixel = pixels[static_cast<int>(p.y * size) * size + static_cast<int>(p.x * size)];
      if (p.argb >> 24 == 0) pixel &= 0xFF000000;  // fully transparent: colour bytes carry no meaning
      EXPECT_EQ(pixel, p.argb) << p.what << std::hex << ": got 0x" << pixel;
    }
  }
}

TEST_F(ExeResources, ManifestDeclaresIdentityControlsDpiAndSupportedSystems) {
  std::string manifest = ResourceBytes(module, RT_MANIFEST, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(manifest.empty());

  std::string identity = ElementWith(manifest, "assemblyIdentity", "name=\"KestrelAtolyesi.Velquin\"");
  std::string controls = ElementWith(manifest, "assemblyIdentity", "name=\"Microsoft.Windows.Common-Controls\"");
  struct Case {
    const std::string* within;
    const char* needle;
  };
  const Case cases[] = {
      {&identity, "version=\"1.0.0.0\""},
      {&identity, "processorArchitecture=\"*\""},
      {&identity, "type=\"win32\""},
      {&manifest, "<description>Velquin</description>"},
      {&controls, "version=\"6.0.0.0\""},
      {&controls, "processorArchitecture=\"*\""},
      {&controls, "publicKeyToken=\"6595b64144ccf1df\""},
      {&controls, "language=\"*\""},
      {&manifest, "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"},
      {&manifest,
       "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
       "PerMonitorV2, system</dpiAwareness>"},
      {&manifest, "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>"},  // Windows 7
      {&manifest, "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>"},  // Windows 8
      {&manifest, "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>"},  // Windows 8.1
      {&manifest, "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"},  // Windows 10
  };
  for (const Case& c : cases) {
    EXPECT_NE(c.within->find(c.needle), std::string::npos) << c.needle << "\nin: " << *c.within;
  }
}

TEST_F(ExeResources, ManifestIsAcceptedByTheLoader) {
  // The loader parses the manifest when the process starts; one it rejects stops the program from
  // starting at all, so have the system build an activation context from the same resource.
  ACTCTXW request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = path.c_str();
  request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
  HANDLE context = CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  ReleaseActCtx(context);
}

}  // namespace
