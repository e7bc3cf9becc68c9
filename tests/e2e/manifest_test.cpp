// The application manifest of Zarvo.scr as built, read back from the program
// file through the platform's own activation-context calls: a manifest the
// loader would refuse, or one that lost a declaration, fails here.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// RT_MANIFEST id 1: what the loader applies to a program as it starts.
constexpr WORD kProcessManifestId = 1;

// The built program's path under Wine, whose Z: drive is the Unix root.
std::wstring BuiltProgramPath() {
    std::wstring path = L"Z:";
    for (const char* c = ZARVO_SCR_PATH; *c != 0; ++c) path += *c == '/' ? L'\\' : wchar_t(*c);
    return path;
}

class BuiltManifest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        path = BuiltProgramPath();
        ACTCTXW request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEW(kProcessManifestId);
        context = CreateActCtxW(&request);
        contextError = context == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    static void TearDownTestSuite() {
        if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
    }
    void SetUp() override {
        ASSERT_NE(context, INVALID_HANDLE_VALUE)
            << "no activation context from RT_MANIFEST 1 of the built program, error " << contextError;
    }

    static std::wstring path;
    static HANDLE context;
    static DWORD contextError;
};

std::wstring BuiltManifest::path;
HANDLE BuiltManifest::context = INVALID_HANDLE_VALUE;
DWORD BuiltManifest::contextError = 0;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

}  // namespace

TEST_F(BuiltManifest, DeclaresPerMonitorAwarenessWithTheSystemWideFallback) {
    struct Setting {
        const wchar_t* space;
        const wchar_t* name;
        const wchar_t* value;
    };
    // Systems that know per-monitor awareness read the first name they know
    // in the list; older ones read only dpiAware.
    const Setting kSettings[] = {
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness", L"PerMonitorV2, PerMonitor"},
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true"},
    };
    for (const Setting& s : kSettings) {
        wchar_t value[64] = L"";
        SIZE_T written = 0;
        BOOL found = QueryActCtxSettingsW(0, context, s.space, s.name, value, 64, &written);
        EXPECT_TRUE(found) << Narrow(s.name) << " is not declared, error " << GetLastError();
        if (found) {
            EXPECT_EQ(Narrow(value), Narrow(s.value)) << Narrow(s.name);
        }
    }
}

TEST_F(BuiltManifest, DialogControlClassesComeFromCommonControlsSix) {
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    // The settings dialog is made of these classes (resources/zarvo.rc).
    for (const wchar_t* className : {L"BUTTON", L"SCROLLBAR", L"STATIC"}) {
        ACTCTX_SECTION_KEYED_DATA data = {};
        data.cbSize = sizeof data;
        BOOL redirected =
            FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                     ACTIVATION_CONTEXT_SECTION_WINDOW_CLASS_REDIRECTION, className, &data);
        EXPECT_TRUE(redirected) << Narrow(className) << " is not redirected";
        if (!redirected) continue;
        // The program's own context, not the test program's default one.
        EXPECT_EQ(data.hActCtx, context) << Narrow(className);
        char buffer[1024] = {};
        SIZE_T needed = 0;
        ULONG index = data.ulAssemblyRosterIndex;
        std::string identity = "(no assembly information)";
        if (QueryActCtxW(0, data.hActCtx, &index, AssemblyDetailedInformationInActivationContext, buffer, sizeof buffer,
                         &needed)) {
            identity = Narrow(reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer)
                                  ->lpAssemblyEncodedAssemblyIdentity);
        }
        EXPECT_EQ(identity.rfind("Microsoft.Windows.Common-Controls,", 0), 0u) << identity;
        EXPECT_NE(identity.find("version=\"6."), std::string::npos) << identity;
        if (data.hActCtx != nullptr) ReleaseActCtx(data.hActCtx);
    }
    DeactivateActCtx(0, cookie);
}
