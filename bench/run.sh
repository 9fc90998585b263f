#!/usr/bin/env bash
# Runs the benchmarks from a build folder made with -DKORVA_BENCH=ON (make bench does this).
set -euo pipefail
build=${1:-build/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/korva_image_bench" "$work"
"$build/bench/korva_neighbourhood_bench" "$work"
if [ -x "$build/bench/korva_widget_frame_bench" ]; then "$build/bench/korva_widget_frame_bench"; fi
if [ -x "$build/bench/korva_form_bench" ]; then "$build/bench/korva_form_bench"; fi
if [ -x "$build/bench/korva_popup_frame_bench" ]; then "$build/bench/korva_popup_frame_bench"; fi
if [ -x "$build/bench/korva_filter_strip_bench" ]; then "$build/bench/korva_filter_strip_bench"; fi
if [ -x "$build/bench/korva_ruler_bench" ]; then "$build/bench/korva_ruler_bench"; fi
if [ -x "$build/bench/korva_camera_preview_bench" ]; then "$build/bench/korva_camera_preview_bench"; fi
if [ -x "$build/bench/korva_camera_shutter_bench" ]; then "$build/bench/korva_camera_shutter_bench"; fi
if [ -x "$build/bench/korva_cube_grid_bench" ]; then "$build/bench/korva_cube_grid_bench"; fi
if [ -x "$build/bench/korva_side_bar_bench" ]; then "$build/bench/korva_side_bar_bench"; fi
if [ -x "$build/bench/korva_picker_scroll_bench" ]; then "$build/bench/korva_picker_scroll_bench"; fi
"$build/bench/korva_media_bench" "$work"
"$build/bench/korva_library_index_bench" "$work"
if [ -x "$build/bench/korva_photo_editor_bench" ]; then "$build/bench/korva_photo_editor_bench"; fi
