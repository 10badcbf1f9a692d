#include "FuzzSupport.h"

#include "model/Stream.h"
#include "model/brmPW.h"

// Loads the input as an archive's text, saves it and loads the saved text again:
// the second load must hold the same lines and save the same text.
namespace {

std::string Saved(const TbrmPwList& sites)
{
    TMemoryStream stream;
    sites.SaveToStream(stream);
    return stream.ReleaseBytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TbrmPwList loaded;
    loaded.LoadFromText(std::string(InputText(data, size)));
    const std::string saved = Saved(loaded);
    TbrmPwList reloaded;
    reloaded.LoadFromText(saved);
    Require(reloaded.Count() == loaded.Count(), "reloading keeps the number of sites");
    for (int index = 0; index < loaded.Count(); ++index)
        Require(reloaded.Strings(index) == loaded.Strings(index), "reloading keeps every line in its place");
    Require(Saved(reloaded) == saved, "saving a reloaded list gives the same text");
    return 0;
}
