#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dispatch.h"
#include "engine/execute.h"
#include "racks/form_object.h"
#include "racks/ui/frm_rack.h"
#include "racks/ui/rack_window_owner.h"
#include "tests/engine/recording_host.h"

namespace korvane::racks::testing {

// A fresh directory under the system's temporary folder, removed with everything in it.
class TTempDir {
 public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string File(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& Path() const { return m_path; }

 private:
    std::filesystem::path m_path;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// The main window as the rack window sees it, recording what it was asked to do.
class TFakeOwner : public TRackWindowOwner {
 public:
    bool standalone = false;
    bool runActive = true;
    bool rackOpen = false;
    int mainShown = 0;
    int stops = 0;
    int abouts = 0;
    TRackPosition position{};
    std::vector<TRackPosition> stored;
    std::filesystem::path folder;
    std::filesystem::path packaged;

    bool Standalone() const override { return standalone; }
    bool RunActive() const override { return runActive; }
    void SetRackOpen() override { rackOpen = true; }
    void ShowMainWindow() override { ++mainShown; }
    void StopRun() override { ++stops; }
    TRackPosition RackPosition(QSize) const override { return position; }
    void SetRackPosition(TRackPosition p) override {
        position = p;
        stored.push_back(p);
    }
    void ShowAbout() override { ++abouts; }
    std::filesystem::path ExecutableFolder() const override { return folder; }
    std::filesystem::path PackagedRackFolder() const override { return packaged; }
};

class TRackHost : public engine::testing::TRecordingHost {
 public:
    engine::TControlBinding* binding = nullptr;
    bool Standalone() const override { return standalone; }
    engine::TControlBinding* Binding() override { return binding; }
};

// A rack window wired to an engine as the program wires them, with a temporary folder for
// rack files.
struct TRackFixture {
    TTempDir dir;
    TFakeOwner owner;
    std::unique_ptr<TFrmRack> rack;
    TRackHost host;
    engine::TProgramState state;
    engine::TDispatch dispatch;

    TRackFixture();
    ~TRackFixture();

    // Writes a rack file from its text form into the folder; returns its path.
    std::string WriteRack(std::string_view text, const std::string& name = "panel.res") const;
    // Runs a script (lines joined by new lines); the interpreter is kept so the test can read
    // its state.
    std::unique_ptr<engine::TExecute> Run(std::string_view script);
    // The log lines without their time of day.
    std::vector<std::string> Messages() const;
    size_t IndexOf(std::string_view name) const;
    TRackControl& Control(std::string_view name);
};

// A rack with one control of each class, ranges left at their defaults except where a test
// needs them; the golden scripts open the same rack.
extern const std::string kPanelRack;

TFormObject FormFromTextOrDie(std::string_view text);

}  // namespace korvane::racks::testing
