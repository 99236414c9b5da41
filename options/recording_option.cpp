// The recording group's values in load and save order, with their defaults,
// ranges and the numbers held before the first load where those differ.
#include "options/recording_option.h"

#include "options/player_paths.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Number("MediaCreationMode", 26, 0).Range(1, 1),
    Number("RecordingMode", 0, 0).Range(1, 1),
    Flag("EraseBeforeRecording", 1, false),
    Number("VBR", 2, 50).Range(100, 50),
    Number("CBR_KBPS", 3, 128).Range(320, 128),
    Text("DefaultRecorder", 4, 256),
    Flag("AllowDownmix", 5, true),
    Flag("AllowIntensity", 6, false),
    Flag("SoftwareSyncCD", 7, false),
    Flag("PlaySound", 8, true).Before(0),
    Flag("EjectCD", 9, true),
    Number("RippingSpeed", 10, 1).Range(1, 1),
    Flag("BitRateType", 11, false),
    Number("CodingQuality", 12, 50).Range(100, 50),
    Number("CodingScheme", 13, 0).Range(2, 0),
    Number("FadeInSec", 14, 0).Range(5, 0),
    Number("FadeOutSec", 15, 0).Range(5, 0),
    Number("Normalization", 16, 95).Range(100, 95).Before(0),
    // Whether stored or new, the folder is made at every load.
    Text("MusicFolder", 17, 256).ComputedDefault(&DefaultMusicFolder).WhenLoaded(&CreateFolderQuietly),
    Number("DefaultRecorderDevice", 18, 0),
    Flag("UseAsDefault", 19, false),
    Number("DefaultOutputFormat", 20, 1).Range(1, 1),
    Number("CodingSpeed", 21, 2).Range(2, 2),
    Number("BurningSpeed", 22, 2),
    Flag("BurnWholeList", 23, true).Before(0),
    Number("WMA_KBPS", 24, 96).Range(64, 128, 96),
    Flag("LoudnessBalance", 25, false),
    Flag("BurnConvertUncompressedOnly", 27, true),
    Flag("PortableDeviceConvertUncompressedOnly", 28, true),
};

}  // namespace

RecordingOption::RecordingOption() : OptionGroup("Recording", kValues) {}

}  // namespace qap::options
