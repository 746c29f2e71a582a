// A window's member flags say which project fields were given, plus the tab-position bit that
// the reference compiler sets whenever the line ends in a notify id.
#include "hhc/sysfiles/windows_file.h"

#include <array>

#include "hhc/chm/byte_sink.h"

namespace hhc::sysfiles {

namespace {

using chm::ByteSink;

constexpr std::uint32_t kWindowEntrySize = 196;

enum ValidMember : std::uint32_t {
    kProperties = 0x2,
    kStyles = 0x4,
    kExStyles = 0x8,
    kRect = 0x10,
    kNavWidth = 0x20,
    kShowState = 0x40,
    kToolbarFlags = 0x100,
    kExpansion = 0x200,
    kTabPosition = 0x400,
    kCurrentTab = 0x2000,
};

}  // namespace

std::vector<std::uint8_t> WindowsFile(const std::vector<hhp::Window>& windows,
                                      StringPool& strings) {
    ByteSink sink;
    sink.U32(static_cast<std::uint32_t>(windows.size()));
    sink.U32(kWindowEntrySize);
    for (const hhp::Window& w : windows) {
        const std::size_t start = sink.Size();
        // Strings enter the pool in the order name, caption, files.
        const std::uint32_t name = strings.Add(w.name);
        const std::uint32_t caption = strings.Add(w.caption);
        const std::uint32_t contents = strings.Add(w.contentsFile);
        const std::uint32_t index = strings.Add(w.indexFile);
        const std::uint32_t defaultTopic = strings.Add(w.defaultTopic);
        const std::uint32_t home = strings.Add(w.homeTopic);
        const std::uint32_t jump1Text = strings.Add(w.jump1Text);
        const std::uint32_t jump2Text = strings.Add(w.jump2Text);
        const std::uint32_t jump1Url = strings.Add(w.jump1Url);
        const std::uint32_t jump2Url = strings.Add(w.jump2Url);

        std::uint32_t valid = kTabPosition;
        const auto flag = [&](const auto& field, std::uint32_t bit) {
            if (field) {
                valid |= bit;
            }
        };
        flag(w.navStyle, kProperties);
        flag(w.style, kStyles);
        flag(w.exStyle, kExStyles);
        flag(w.position, kRect);
        flag(w.navWidth, kNavWidth);
        flag(w.showState, kShowState);
        flag(w.buttons, kToolbarFlags);
        flag(w.navClosed, kExpansion);
        flag(w.defaultTab, kCurrentTab);

        const std::array<std::int32_t, 4> rect = w.position.value_or(std::array<std::int32_t, 4>{});
        sink.U32(kWindowEntrySize);
        sink.U32(0);  // strings are 8-bit
        sink.U32(name);
        sink.U32(valid);
        sink.U32(w.navStyle.value_or(0));
        sink.U32(caption);
        sink.U32(w.style.value_or(0));
        sink.U32(w.exStyle.value_or(0));
        for (const std::int32_t v : rect) {
            sink.U32(static_cast<std::uint32_t>(v));
        }
        sink.U32(w.showState.value_or(0));
        // Window handles and the info-type pointer: run-time only.
        sink.Zeros(6 * sizeof(std::uint32_t));
        sink.U32(w.navWidth.value_or(0));
        sink.Zeros(4 * sizeof(std::uint32_t));  // HTML pane rectangle
        sink.U32(contents);
        sink.U32(index);
        sink.U32(defaultTopic);
        sink.U32(home);
        sink.U32(w.buttons.value_or(0));
        sink.U32(w.navClosed.value_or(0));
        sink.U32(w.defaultTab.value_or(0));
        sink.U32(w.tabPosition.value_or(0));
        sink.U32(w.notifyId.value_or(0));
        sink.Zeros(20);  // tab order
        sink.U32(0);     // history count
        sink.U32(jump1Text);
        sink.U32(jump2Text);
        sink.U32(jump1Url);
        sink.U32(jump2Url);
        sink.Zeros(4 * sizeof(std::uint32_t));  // minimum size
        sink.U32(0);                            // info types
        sink.U32(0);                            // custom tabs
        sink.Zeros(start + kWindowEntrySize - sink.Size());
    }
    return sink.Take();
}

}  // namespace hhc::sysfiles
