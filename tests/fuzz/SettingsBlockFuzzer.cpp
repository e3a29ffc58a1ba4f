// Settings files of any content: the block itself, then the engine loading it
// from its data folder.
#include "FuzzScratch.h"

#include "CImgJoinEngine.h"
#include "SettingsBlock.h"

#include <QFileInfo>

#include <cstdlib>

namespace {

constexpr int TextIds[] = { CImgJoinEngine::SettingJoinDir, CImgJoinEngine::SettingPhotoDir,
                            CImgJoinEngine::SettingMusicDir };

// Storing a text read from the block gives that text back, and changes
// nothing outside its field; a refusal changes nothing at all.
void checkRoundTrip(const SettingsBlock& block, int id, int offset)
{
    const QString text = block.text(id);
    SettingsBlock copy = block;
    const IoStatus stored = copy.setText(id, text);
    if (!stored.ok()) {
        if (copy.bytes() != block.bytes())
            std::abort();
        return;
    }
    if (copy.text(id) != text)
        std::abort();
    const QByteArray& before = block.bytes();
    const QByteArray& after = copy.bytes();
    if (after.size() != SettingsBlock::Size || after.left(offset) != before.left(offset) ||
        after.mid(offset + SettingsBlock::TextFieldSize) !=
            before.mid(offset + SettingsBlock::TextFieldSize))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzScratch& scratch = FuzzScratch::instance();
    const QByteArray bytes = FuzzScratch::bytes(data, size);

    SettingsBlock block;
    block.fill(bytes);
    if (block.bytes().size() != SettingsBlock::Size)
        std::abort();
    checkRoundTrip(block, CImgJoinEngine::SettingJoinDir, SettingsBlock::JoinDirOffset);
    checkRoundTrip(block, CImgJoinEngine::SettingPhotoDir, SettingsBlock::PhotoDirOffset);
    checkRoundTrip(block, CImgJoinEngine::SettingMusicDir, SettingsBlock::MusicDirOffset);
    if (!block.text(101).isEmpty())
        std::abort();

    // The engine reads the same texts and hot key from the file.
    scratch.reset();
    CImgJoinEngine engine;
    engine.SetDataDir(scratch.path());
    scratch.write(QFileInfo(engine.settingsFile()).fileName(), bytes);
    engine.LoadSettings();
    for (int id : TextIds) {
        if (engine.GetSettingString(id) != block.text(id))
            std::abort();
    }
    if (engine.HotKeyLetter(' ') != block.hotKey())
        std::abort();
    return 0;
}
