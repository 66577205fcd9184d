#include "platform/media/Alsa.h"

TAlsa& Alsa()
{
    static TAlsa* a = [] {
        auto* r = new TAlsa;
        r->Lib = TDynLibrary("libasound.so.2");
        if (!r->Lib.Loaded())
            return r;
        r->card_next = r->Lib.Function<decltype(r->card_next)>("snd_card_next");
        r->pcm_open = r->Lib.Function<decltype(r->pcm_open)>("snd_pcm_open");
        r->pcm_close = r->Lib.Function<decltype(r->pcm_close)>("snd_pcm_close");
        r->pcm_set_params = r->Lib.Function<decltype(r->pcm_set_params)>("snd_pcm_set_params");
        r->pcm_readi = r->Lib.Function<decltype(r->pcm_readi)>("snd_pcm_readi");
        r->pcm_writei = r->Lib.Function<decltype(r->pcm_writei)>("snd_pcm_writei");
        r->pcm_wait = r->Lib.Function<decltype(r->pcm_wait)>("snd_pcm_wait");
        r->pcm_recover = r->Lib.Function<decltype(r->pcm_recover)>("snd_pcm_recover");
        r->pcm_start = r->Lib.Function<decltype(r->pcm_start)>("snd_pcm_start");
        r->pcm_drop = r->Lib.Function<decltype(r->pcm_drop)>("snd_pcm_drop");
        r->strerror = r->Lib.Function<decltype(r->strerror)>("snd_strerror");
        r->Ok = r->card_next && r->pcm_open && r->pcm_close && r->pcm_set_params && r->pcm_readi && r->pcm_writei &&
                r->pcm_wait && r->pcm_recover && r->pcm_start && r->pcm_drop && r->strerror;
        return r;
    }();
    return *a;
}

std::string AlsaError(int ACode)
{
    const char* t = Alsa().strerror ? Alsa().strerror(ACode) : nullptr;
    return t ? t : "Unknown error " + std::to_string(ACode);
}
