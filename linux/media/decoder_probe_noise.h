#pragma once

namespace quorrel::linux_desktop {

// libmpv looks for a hardware video decoder for every video it starts
// (hwdec=auto-safe). Where a decoder's driver is missing, two of the
// libraries it asks print a line of their own straight to standard error,
// past libmpv's log, which Quorrel keeps quiet: FFmpeg's loader for NVIDIA's
// libraries inside libmpv's CUDA output ("Cannot load libcuda.so.1"), and
// libvdpau ("Failed to open VDPAU backend libvdpau_nvidia.so: ..."). On a
// machine without NVIDIA's drivers that is two lines for every video, a few
// thousand a night in a host's log or the journal, where real errors drown.
//
// From this call on, standard error passes through a filter that drops
// exactly those lines and lets everything else through unchanged, at once.
// The probe itself is left as it is, so hardware decoding is still found and
// used wherever the machine has it. Call it first thing in main(), before
// any thread that might write to standard error starts.
void FilterDecoderProbeNoise();

}  // namespace quorrel::linux_desktop
