#include "editor/gui/imgui_backend.h"

#include "editor/controls/dialog_records.h"

#include "core/console_log.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/text_renderer.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <iterator>
#include <cfloat>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

struct backend_state {
    bool ready = false;
    uint64_t font_device = 0; // the serial of the device that holds the font texture
    device_texture* font = nullptr;
    uint32_t last_ms = 0;
    bool keys_held[256] = {};
    bool buttons_held[3] = {};
    uint32_t input_resets = 0;  // input_reset_count() when the held keys and buttons were last read
    std::vector<input_event> events;
    std::vector<lit_vertex> vertices;
    bool wants_text = false;  // as the last frame drawn left them
    bool wants_mouse = false;
    std::vector<ImRect> windows;  // the dialog windows the last frame drew, pop-ups included
    bool has_focus = false;     // a dialog window has the focus
    bool release_focus = false;  // the focus goes to no window before the next frame
};

backend_state g_backend;

// The dialogs' text: the sans-serif face, 13 pixels from the top of its ascent to the bottom of its
// descent, with the letters of Windows-1252. Without it ImGui's own fixed-width font stands in.
constexpr const char* k_dialog_face = "DejaVu Sans";
constexpr float k_dialog_font_pixels = 13.0f;

void load_dialog_font(ImGuiIO& io)
{
    static const ImWchar k_windows_1252[] = {
        0x0020, 0x00FF, 0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x0178, 0x017D, 0x017E, 0x0192, 0x0192,
        0x02C6, 0x02C6, 0x02DC, 0x02DC, 0x2013, 0x2014, 0x2018, 0x201A, 0x201C, 0x201E, 0x2020, 0x2022,
        0x2026, 0x2026, 0x2030, 0x2030, 0x2039, 0x203A, 0x20AC, 0x20AC, 0x2122, 0x2122, 0,
    };
    text_face_request request;
    request.family = k_dialog_face;
    request.cell_height = int(k_dialog_font_pixels);
    std::string error;
    const std::unique_ptr<text_face> face = text_face::open(request, error);
    ImFontConfig config;
    config.OversampleH = 3;
    config.OversampleV = 1;
    config.PixelSnapH = true;
    if (face && io.Fonts->AddFontFromFileTTF(face->file().c_str(), k_dialog_font_pixels, &config, k_windows_1252))
        return;
    console_log("font dialogov %s chyba (%s), pouzijem vstavany", k_dialog_face, face ? face->file().c_str() : error.c_str());
    io.Fonts->AddFontDefault();
}

// Opaque windows and frames, square corners, the spacing the layout counts on.
void set_style()
{
    ImGuiStyle& style = ImGui::GetStyle();
    style.FramePadding = ImVec2(4, 3);
    style.ItemInnerSpacing = ImVec2(4, 4);
    style.WindowMinSize = ImVec2(1, 1); // a window is as large as its dialog
    style.WindowRounding = style.FrameRounding = style.TabRounding = style.GrabRounding = 0.0f;
    for (ImGuiCol col : {ImGuiCol_WindowBg, ImGuiCol_ChildBg, ImGuiCol_PopupBg, ImGuiCol_MenuBarBg, ImGuiCol_TitleBg,
                         ImGuiCol_TitleBgActive, ImGuiCol_TitleBgCollapsed})
        style.Colors[col].w = 1.0f;
}

void make_context()
{
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.BackendRendererName = "render_device";
    io.BackendPlatformName = "platform_input";
    io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
    const struct {
        ImGuiKey key;
        uint8_t code;
    } keys[] = {
        {ImGuiKey_Tab, k_key_tab},         {ImGuiKey_LeftArrow, k_key_left}, {ImGuiKey_RightArrow, k_key_right},
        {ImGuiKey_UpArrow, k_key_up},      {ImGuiKey_DownArrow, k_key_down}, {ImGuiKey_PageUp, k_key_prior},
        {ImGuiKey_PageDown, k_key_next},   {ImGuiKey_Home, k_key_home},      {ImGuiKey_End, k_key_end},
        {ImGuiKey_Insert, k_key_insert},   {ImGuiKey_Delete, k_key_delete},  {ImGuiKey_Backspace, k_key_back},
        {ImGuiKey_Space, k_key_space},     {ImGuiKey_Enter, k_key_return},   {ImGuiKey_Escape, k_key_escape},
        {ImGuiKey_KeyPadEnter, k_key_numpadenter}, {ImGuiKey_A, k_key_a},    {ImGuiKey_C, k_key_c},
        {ImGuiKey_V, k_key_v},             {ImGuiKey_X, k_key_x},            {ImGuiKey_Y, k_key_y},
        {ImGuiKey_Z, k_key_z},
    };
    for (const auto& k : keys)
        io.KeyMap[k.key] = k.code;
    load_dialog_font(io);
    set_style();
    unsigned char* alpha = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsAlpha8(&alpha, &width, &height); // builds the atlas: text can be measured
    g_backend.ready = true;
}

// Nothing counts as held: a button whose release was never read would stay down and swallow
// the next click on a dialog.
void forget_held()
{
    std::fill(std::begin(g_backend.keys_held), std::end(g_backend.keys_held), false);
    std::fill(std::begin(g_backend.buttons_held), std::end(g_backend.buttons_held), false);
}

// The font atlas, white glyphs in its alpha, as a texture of the device.
void make_font_texture(render_device& device)
{
    ImGuiIO& io = ImGui::GetIO();
    unsigned char* alpha = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsAlpha8(&alpha, &width, &height);
    std::vector<uint32_t> texels(size_t(width) * size_t(height));
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = uint32_t(alpha[i]) << 24 | 0x00FFFFFFu;
    g_backend.font = device.create_texture(uint32_t(width), uint32_t(height), texture_format::a8r8g8b8, false,
                                           texels.data());
    g_backend.font_device = device.serial();
    io.Fonts->SetTexID(static_cast<ImTextureID>(g_backend.font));
}

// Pixel edges as ImGui places them, to the device's clip space: the device puts pixel centres
// on whole numbers, so everything moves half a pixel up and left.
matrix4 pixel_edge_projection(const render_device& d)
{
    matrix4 m = matrix_identity();
    const float w = float(d.width()), h = float(d.height());
    m.m[0][0] = 2.0f / w;
    m.m[1][1] = -2.0f / h;
    m.m[3][0] = -1.0f - 1.0f / w;
    m.m[3][1] = 1.0f + 1.0f / h;
    return m;
}

// ImGui's states for one draw, set on entry and restored on leaving.
class imgui_draw_scope {
public:
    explicit imgui_draw_scope(render_device& d)
        : d_(d), texture_(d.get_texture()), viewport_(d.get_viewport()), has_scissor_(d.get_scissor(scissor_)),
          z_enable_(d, render_state::z_enable, z_mode::off), z_write_(d, render_state::z_write, 0u),
          blend_(d, render_state::alpha_blend, 1u), src_blend_(d, render_state::src_blend, blend_factor::src_alpha),
          dest_blend_(d, render_state::dest_blend, blend_factor::inv_src_alpha),
          alpha_test_(d, render_state::alpha_test, 0u), cull_(d, render_state::cull_mode, cull_mode::none),
          fill_(d, render_state::fill_mode, fill_mode::solid),
          shade_(d, render_state::shade_mode, shade_mode::gouraud),
          colour_op_(d, texture_stage_state::colour_op, texture_op::modulate),
          colour_arg1_(d, texture_stage_state::colour_arg1, texture_arg::texture),
          colour_arg2_(d, texture_stage_state::colour_arg2, texture_arg::diffuse),
          alpha_op_(d, texture_stage_state::alpha_op, texture_op::modulate),
          alpha_arg1_(d, texture_stage_state::alpha_arg1, texture_arg::texture),
          alpha_arg2_(d, texture_stage_state::alpha_arg2, texture_arg::diffuse),
          min_filter_(d, texture_stage_state::min_filter, texture_filter::linear),
          mag_filter_(d, texture_stage_state::mag_filter, texture_filter::linear),
          mip_filter_(d, texture_stage_state::mip_filter, texture_filter::none),
          address_u_(d, texture_stage_state::address_u, texture_address::clamp),
          address_v_(d, texture_stage_state::address_v, texture_address::clamp),
          world_(d, transform_kind::world, matrix_identity()), view_(d, transform_kind::view, matrix_identity()),
          projection_(d, transform_kind::projection, pixel_edge_projection(d))
    {
        d.set_viewport({0, 0, d.width(), d.height(), 0.0f, 1.0f});
    }

    ~imgui_draw_scope()
    {
        d_.set_scissor(has_scissor_ ? &scissor_ : nullptr);
        d_.set_viewport(viewport_);
        d_.set_texture(texture_);
    }

    imgui_draw_scope(const imgui_draw_scope&) = delete;
    imgui_draw_scope& operator=(const imgui_draw_scope&) = delete;

private:
    render_device& d_;
    device_texture* texture_;
    device_viewport viewport_;
    device_rect scissor_ = {};
    bool has_scissor_;
    render_state_guard z_enable_, z_write_, blend_, src_blend_, dest_blend_, alpha_test_, cull_, fill_, shade_;
    stage_state_guard colour_op_, colour_arg1_, colour_arg2_, alpha_op_, alpha_arg1_, alpha_arg2_, min_filter_,
        mag_filter_, mip_filter_, address_u_, address_v_;
    transform_guard world_, view_, projection_;
};

// A clip rectangle in whole pixels within the target; false when nothing of it is left.
bool clip_to_target(const ImVec4& clip, const render_device& d, device_rect& out)
{
    const float x0 = std::max(0.0f, std::floor(clip.x)), y0 = std::max(0.0f, std::floor(clip.y));
    const float x1 = std::min(float(d.width()), std::ceil(clip.z));
    const float y1 = std::min(float(d.height()), std::ceil(clip.w));
    if (x1 <= x0 || y1 <= y0)
        return false;
    out = {int32_t(x0), int32_t(y0), int32_t(x1 - x0), int32_t(y1 - y0)};
    return true;
}

} // namespace

void imgui_make_ready()
{
    if (!g_backend.ready)
        make_context();
}

void imgui_begin_input(render_device& device, uint32_t now_ms)
{
    imgui_make_ready();
    if (g_backend.release_focus) {
        ImGui::SetWindowFocus(nullptr);
        g_backend.release_focus = false;
    }
    if (!g_backend.font || g_backend.font_device != device.serial())
        make_font_texture(device);
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(device.width()), float(device.height()));
    io.DeltaTime = std::max(0.0001f, float(now_ms - g_backend.last_ms) / 1000.0f);
    if (g_backend.last_ms == 0 || now_ms - g_backend.last_ms > 1000)
        io.DeltaTime = 1.0f / 60.0f;
    g_backend.last_ms = now_ms;

    // A press and its release within one frame still show the key or button down for a frame.
    bool keys_pressed[256] = {};
    bool buttons_pressed[3] = {};
    if (g_backend.input_resets != input_reset_count()) {
        g_backend.input_resets = input_reset_count();
        forget_held();  // their releases went with the reset queues
    }
    input_take_ui_events(&g_backend.events);
    for (const input_event& e : g_backend.events) {
        switch (e.kind) {
        case input_event_kind::key:
            g_backend.keys_held[e.code] = e.down;
            keys_pressed[e.code] |= e.down;
            break;
        case input_event_kind::mouse_button:
            if (e.code < 3) {
                g_backend.buttons_held[e.code] = e.down;
                buttons_pressed[e.code] |= e.down;
            }
            break;
        case input_event_kind::mouse_wheel:
            io.MouseWheel += float(e.wheel);
            break;
        case input_event_kind::text:
            io.AddInputCharacter(e.character);
            break;
        default:
            break;
        }
    }
    for (int k = 0; k < 256; ++k)
        io.KeysDown[k] = g_backend.keys_held[k] || keys_pressed[k];
    for (int b = 0; b < 3; ++b)
        io.MouseDown[b] = g_backend.buttons_held[b] || buttons_pressed[b];
    auto held = [](uint8_t a, uint8_t b) { return g_backend.keys_held[a] || g_backend.keys_held[b]; };
    io.KeyCtrl = held(k_key_lcontrol, k_key_rcontrol);
    io.KeyShift = held(k_key_lshift, k_key_rshift);
    io.KeyAlt = held(k_key_lmenu, k_key_rmenu);
    io.KeySuper = held(k_key_lwin, k_key_rwin);
    const cursor_position cursor = input_cursor();
    io.MousePos = cursor.inside ? ImVec2(float(cursor.x), float(cursor.y)) : ImVec2(-FLT_MAX, -FLT_MAX);
}

void imgui_drop_input()
{
    input_take_ui_events(&g_backend.events);
    forget_held();  // the releases among them are dropped too
    input_set_text_entry(false);
    g_backend.wants_text = g_backend.wants_mouse = g_backend.has_focus = false;
    g_backend.windows.clear();
}

bool imgui_window_at(int32_t x, int32_t y)
{
    if (live_dialogs().empty())
        return false; // the windows of a run that has ended
    const ImVec2 p{float(x), float(y)};
    return std::any_of(g_backend.windows.begin(), g_backend.windows.end(),
                       [&](const ImRect& r) { return r.Contains(p); });
}

void imgui_scroll_children_home()
{
    const ImGuiWindow* root = ImGui::GetCurrentWindow();
    for (ImGuiWindow* w : ImGui::GetCurrentContext()->Windows)
        if (w != root && w->RootWindow == root) {
            w->Scroll = ImVec2(0, 0);
            w->ScrollTarget = ImVec2(FLT_MAX, FLT_MAX);
        }
}

void imgui_release_keyboard()
{
    if (!g_backend.has_focus && !g_backend.wants_text)
        return;
    g_backend.release_focus = true;
    g_backend.has_focus = g_backend.wants_text = false;
    input_set_text_entry(false);
}

bool imgui_wants_text()
{
    return g_backend.wants_text && !live_dialogs().empty();
}

bool imgui_wants_mouse()
{
    return g_backend.wants_mouse && !live_dialogs().empty();
}

void imgui_draw(render_device& device, ImDrawData* data)
{
    {
        imgui_draw_scope scope(device);
        for (int n = 0; n < data->CmdListsCount; ++n) {
            const ImDrawList* list = data->CmdLists[n];
            std::vector<lit_vertex>& out = g_backend.vertices;
            out.resize(size_t(list->VtxBuffer.Size));
            for (int i = 0; i < list->VtxBuffer.Size; ++i) {
                const ImDrawVert& v = list->VtxBuffer[i];
                out[size_t(i)] = {v.pos.x,
                                  v.pos.y,
                                  0.0f,
                                  v.uv.x,
                                  v.uv.y,
                                  uint8_t(v.col >> IM_COL32_R_SHIFT),
                                  uint8_t(v.col >> IM_COL32_G_SHIFT),
                                  uint8_t(v.col >> IM_COL32_B_SHIFT),
                                  uint8_t(v.col >> IM_COL32_A_SHIFT)};
            }
            for (const ImDrawCmd& cmd : list->CmdBuffer) {
                if (cmd.UserCallback) {
                    if (cmd.UserCallback != ImDrawCallback_ResetRenderState)
                        cmd.UserCallback(list, &cmd);
                    continue;
                }
                device_rect clip;
                if (cmd.ElemCount == 0 || cmd.VtxOffset >= out.size() || !clip_to_target(cmd.ClipRect, device, clip))
                    continue;
                device.set_scissor(&clip);
                device.set_texture(static_cast<device_texture*>(cmd.GetTexID()));
                device.draw_coloured_primitive(primitive_type::triangle_list, out.data() + cmd.VtxOffset,
                                               uint32_t(out.size() - cmd.VtxOffset),
                                               list->IdxBuffer.Data + cmd.IdxOffset, cmd.ElemCount);
            }
        }
    }
    const ImGuiIO& io = ImGui::GetIO();
    g_backend.wants_text = io.WantTextInput;
    g_backend.wants_mouse = io.WantCaptureMouse;
    g_backend.has_focus = ImGui::IsWindowFocused(ImGuiFocusedFlags_AnyWindow);
    g_backend.windows.clear();
    for (const ImGuiWindow* w : ImGui::GetCurrentContext()->Windows)
        if (w->Active && !w->Hidden && !(w->Flags & ImGuiWindowFlags_ChildWindow))
            g_backend.windows.push_back(w->Rect());
    input_set_text_entry(io.WantTextInput);
}
