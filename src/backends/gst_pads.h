// Small GStreamer helpers shared by the player and the cue sheet reader.
#pragma once

#include <gst/gst.h>

#include <initializer_list>

namespace velmora::media {

// Links each pad a decoder adds, once it knows the stream, to the sink pad
// of `target` (the first one only: later pads find it linked).
inline void linkNewPadsTo(GstElement* decoder, GstElement* target)
{
    g_signal_connect(decoder, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer data) {
                         GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(data), "sink");
                         if (!gst_pad_is_linked(sink)) {
                             gst_pad_link(pad, sink);
                         }
                         gst_object_unref(sink);
                     }),
                     target);
}

// Drops elements that were made but never went into a bin (nulls skipped).
inline void unrefElements(std::initializer_list<GstElement*> elements)
{
    for (GstElement* element : elements) {
        if (element != nullptr) {
            gst_object_unref(element);
        }
    }
}

}  // namespace velmora::media
