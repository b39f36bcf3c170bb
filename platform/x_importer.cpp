#include "platform/x_importer.h"

#include "platform/files.h"
#include "platform/shared_library.h"

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cerrno>
#include <climits>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZORV_SANITIZERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORV_SANITIZERS 1
#endif
#endif
#ifdef ZORV_SANITIZERS
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

constexpr size_t k_max_vertices = 65536; // what 16-bit indices reach
constexpr int k_read_timeout_ms = 30000;

// The library's ".x" reader turns the file's left-handed data right-handed (z negated, v
// flipped, winding reversed); converting back gives the file's own values. Polygons become
// triangles; nothing else is done (no joining of vertices, no optimising).
constexpr unsigned k_read_flags = aiProcess_ConvertToLeftHanded | aiProcess_Triangulate;

// The functions of the model library, opened by the first import: most runs import nothing.
struct model_library {
    decltype(&::aiImportFileFromMemory) import_from_memory = nullptr;
    decltype(&::aiReleaseImport) release_import = nullptr;
    decltype(&::aiGetErrorString) error_string = nullptr;
    decltype(&::aiGetMaterialColor) material_colour = nullptr;
    decltype(&::aiGetMaterialFloatArray) material_floats = nullptr;
    decltype(&::aiGetMaterialTexture) material_texture = nullptr;
};

// Null, on this call and every later one, when the library or a function cannot be found.
const model_library* load_model_library()
{
    static const model_library* loaded = [] () -> const model_library* {
        static model_library ai;
        void* file = open_shared_library(ZORV_ASSIMP_LIBRARY);
        const bool found = find_library_function({file}, "aiImportFileFromMemory", ai.import_from_memory) &&
                           find_library_function({file}, "aiReleaseImport", ai.release_import) &&
                           find_library_function({file}, "aiGetErrorString", ai.error_string) &&
                           find_library_function({file}, "aiGetMaterialColor", ai.material_colour) &&
                           find_library_function({file}, "aiGetMaterialFloatArray", ai.material_floats) &&
                           find_library_function({file}, "aiGetMaterialTexture", ai.material_texture);
        return found ? &ai : nullptr;
    }();
    return loaded;
}

device_colour colour_of(const model_library& ai, const aiMaterial* material, const char* key, unsigned type,
                        unsigned index, float alpha)
{
    aiColor4D c(0, 0, 0, alpha);
    if (ai.material_colour(material, key, type, index, &c) != AI_SUCCESS)
        return {0, 0, 0, alpha};
    return {c.r, c.g, c.b, c.a};
}

x_material material_of(const model_library& ai, const aiMaterial* material)
{
    x_material out;
    out.colour.diffuse = colour_of(ai, material, AI_MATKEY_COLOR_DIFFUSE, 1.0f);
    out.colour.ambient = out.colour.diffuse;
    out.colour.specular = colour_of(ai, material, AI_MATKEY_COLOR_SPECULAR, 1.0f);
    out.colour.emissive = colour_of(ai, material, AI_MATKEY_COLOR_EMISSIVE, 1.0f);
    float power = 0.0f;
    if (ai.material_floats(material, AI_MATKEY_SHININESS, &power, nullptr) == AI_SUCCESS)
        out.colour.power = power;
    aiString texture;
    if (ai.material_texture(material, aiTextureType_DIFFUSE, 0, &texture, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr) == AI_SUCCESS)
        out.texture_name = texture.C_Str();
    return out;
}

bool has_x_magic(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 16 && std::memcmp(bytes.data(), "xof ", 4) == 0;
}

// The library's scene as the recombined arrays; false with the reason when they cannot hold it.
bool convert_scene(const model_library& ai, const aiScene* scene, const char* path, x_mesh& out, std::string& error)
{
    for (unsigned material = 0; material < scene->mNumMaterials; ++material) {
        x_material run = material_of(ai, scene->mMaterials[material]);
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            if (mesh->mMaterialIndex != material)
                continue;
            if (out.name.empty())
                out.name = mesh->mName.C_Str();
            const size_t base = out.vertices.size();
            if (base + mesh->mNumVertices > k_max_vertices) {
                error = std::string("too many vertices in ") + path;
                out = x_mesh{};
                return false;
            }
            for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
                device_vertex vertex{};
                vertex.x = mesh->mVertices[v].x;
                vertex.y = mesh->mVertices[v].y;
                vertex.z = mesh->mVertices[v].z;
                if (mesh->mNormals) {
                    vertex.nx = mesh->mNormals[v].x;
                    vertex.ny = mesh->mNormals[v].y;
                    vertex.nz = mesh->mNormals[v].z;
                }
                if (mesh->mTextureCoords[0]) {
                    vertex.u = mesh->mTextureCoords[0][v].x;
                    vertex.v = mesh->mTextureCoords[0][v].y;
                }
                out.vertices.push_back(vertex);
            }
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                if (face.mNumIndices != 3)
                    continue; // points and lines have no surface
                bool inside = true;
                for (int i = 0; i < 3; ++i)
                    inside = inside && face.mIndices[i] < mesh->mNumVertices;
                if (!inside)
                    continue;
                for (int i = 0; i < 3; ++i)
                    out.indices.push_back(static_cast<uint16_t>(base + face.mIndices[i]));
                run.index_count += 3;
            }
        }
        if (run.index_count > 0)
            out.materials.push_back(std::move(run));
    }
    if (out.indices.empty()) {
        error = std::string("no triangles in ") + path;
        out = x_mesh{};
        return false;
    }
    return true;
}

// How the reading process ends: the result written, or not; or, in a sanitized build, a
// sanitizer's report on this file's own code in it.
constexpr int k_reader_done = 0;
constexpr int k_reader_failed = 1;
constexpr int k_reader_own_fault = 2;

// In the reading process, while it lives: a fault inside the library ends the process at once
// and says nothing. The fatal signals take their default action instead of the handlers the
// process inherited (the program's, a fuzzer's, the sanitizers'), and a sanitizer's report is
// dropped and ends the process; the caller then refuses the file. Afterwards the inherited
// handlers come back, and a sanitizer's report, now on this file's own code, is written and
// ends the process with k_reader_own_fault.
class library_faults_end_quietly {
public:
    library_faults_end_quietly()
    {
        struct sigaction plain = {};
        plain.sa_handler = SIG_DFL;
        for (size_t i = 0; i < std::size(k_fatal_signals); ++i)
            sigaction(k_fatal_signals[i], &plain, &inherited_[i]);
#ifdef ZORV_SANITIZERS
        static const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere >= 0)
            __sanitizer_set_report_fd(reinterpret_cast<void*>(intptr_t(nowhere)));
        __sanitizer_set_death_callback([] { _exit(k_reader_failed); });
#endif
    }
    ~library_faults_end_quietly()
    {
        for (size_t i = 0; i < std::size(k_fatal_signals); ++i)
            sigaction(k_fatal_signals[i], &inherited_[i], nullptr);
#ifdef ZORV_SANITIZERS
        __sanitizer_set_report_fd(reinterpret_cast<void*>(intptr_t(STDERR_FILENO)));
        __sanitizer_set_death_callback([] { _exit(k_reader_own_fault); });
#endif
    }
    library_faults_end_quietly(const library_faults_end_quietly&) = delete;
    library_faults_end_quietly& operator=(const library_faults_end_quietly&) = delete;

private:
    static constexpr int k_fatal_signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};
    struct sigaction inherited_[std::size(k_fatal_signals)] = {};
};

// Reads the file's bytes with the library, in this process (the reading process).
bool read_x_bytes(const model_library& ai, const std::vector<uint8_t>& bytes, const char* path, x_mesh& out,
                  std::string& error)
{
    const aiScene* scene = nullptr;
    {
        const library_faults_end_quietly quiet;
        scene = ai.import_from_memory(reinterpret_cast<const char*>(bytes.data()), unsigned(bytes.size()), k_read_flags,
                                      "x");
        if (!scene)
            error = std::string("cannot read ") + path + ": " + ai.error_string();
    }
    const bool ok = scene && convert_scene(ai, scene, path, out, error);
    const library_faults_end_quietly quiet;
    if (scene)
        ai.release_import(scene);
    return ok;
}

// The mesh as bytes for the pipe from the reading process: a status byte (1 read, 0 refused),
// then the name or the reason, the vertices, the indices and the materials.
void put_bytes(std::vector<uint8_t>& out, const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

void put_size(std::vector<uint8_t>& out, uint64_t n)
{
    put_bytes(out, &n, sizeof n);
}

void put_string(std::vector<uint8_t>& out, const std::string& text)
{
    put_size(out, text.size());
    put_bytes(out, text.data(), text.size());
}

std::vector<uint8_t> encode_result(bool ok, const x_mesh& mesh, const std::string& error)
{
    std::vector<uint8_t> out{uint8_t(ok ? 1 : 0)};
    if (!ok) {
        put_string(out, error);
        return out;
    }
    put_string(out, mesh.name);
    put_size(out, mesh.vertices.size());
    put_bytes(out, mesh.vertices.data(), mesh.vertices.size() * sizeof(device_vertex));
    put_size(out, mesh.indices.size());
    put_bytes(out, mesh.indices.data(), mesh.indices.size() * sizeof(uint16_t));
    put_size(out, mesh.materials.size());
    for (const x_material& m : mesh.materials) {
        put_bytes(out, &m.colour, sizeof m.colour);
        put_size(out, m.index_count);
        put_string(out, m.texture_name);
    }
    return out;
}

class result_reader {
public:
    explicit result_reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    bool take(void* data, uint64_t size)
    {
        if (size > bytes_.size() - at_)
            return false;
        std::memcpy(data, bytes_.data() + at_, size);
        at_ += size;
        return true;
    }
    bool size(uint64_t& n) { return take(&n, sizeof n); }
    bool string(std::string& text)
    {
        uint64_t n = 0;
        if (!size(n) || n > bytes_.size() - at_)
            return false;
        text.assign(reinterpret_cast<const char*>(bytes_.data() + at_), n);
        at_ += n;
        return true;
    }
    template <class T>
    bool array(std::vector<T>& items)
    {
        uint64_t n = 0;
        if (!size(n) || n > (bytes_.size() - at_) / sizeof(T))
            return false;
        items.resize(n);
        return take(items.data(), n * sizeof(T));
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

bool decode_result(const std::vector<uint8_t>& bytes, x_mesh& out, std::string& error)
{
    result_reader in(bytes);
    uint8_t ok = 0;
    if (!in.take(&ok, 1) || ok > 1)
        return false;
    if (ok == 0) {
        in.string(error);
        return false;
    }
    uint64_t materials = 0;
    if (!in.string(out.name) || !in.array(out.vertices) || !in.array(out.indices) || !in.size(materials) ||
        materials > bytes.size())
        return false;
    for (uint64_t i = 0; i < materials; ++i) {
        x_material m;
        uint64_t count = 0;
        if (!in.take(&m.colour, sizeof m.colour) || !in.size(count) || !in.string(m.texture_name))
            return false;
        m.index_count = uint32_t(count);
        out.materials.push_back(std::move(m));
    }
    return true;
}

bool write_all(int fd, const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// Reads until the other end closes, for at most the deadline; false on timeout or error.
bool read_all(int fd, std::vector<uint8_t>& out, int timeout_ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    uint8_t buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, int(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.insert(out.end(), buffer, buffer + n);
    }
}

} // namespace

bool import_x_file(const char* path, x_mesh& out, std::string& error)
{
    out = x_mesh{};
    std::vector<uint8_t> bytes;
    if (!read_whole_file(path, &bytes)) {
        error = std::string("cannot read ") + path;
        return false;
    }
    if (!has_x_magic(bytes)) {
        error = std::string("not a .x file: ") + path;
        return false;
    }
    if (bytes.size() > UINT_MAX) {
        error = std::string("too large: ") + path;
        return false;
    }
    const model_library* ai = load_model_library();
    if (!ai) {
        error = std::string("cannot read ") + path + ": no model library";
        return false;
    }

    // The library trusts the counts and indices of the file; it reads in a process of its own,
    // so that a damaged file that makes it fail ends only that process.
    int fds[2];
    if (pipe(fds) != 0) {
        error = std::string("cannot read ") + path + ": no pipe";
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        error = std::string("cannot read ") + path + ": no process";
        return false;
    }
    if (child == 0) {
        close(fds[0]);
        x_mesh mesh;
        std::string reason;
        const bool ok = read_x_bytes(*ai, bytes, path, mesh, reason);
        _exit(write_all(fds[1], encode_result(ok, mesh, reason)) ? k_reader_done : k_reader_failed);
    }
    close(fds[1]);
    std::vector<uint8_t> result;
    const bool complete = read_all(fds[0], result, k_read_timeout_ms);
    close(fds[0]);
    if (!complete)
        kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
#ifdef ZORV_SANITIZERS
    // A fault of the program, not of the file: it ends the program too, so that the checks
    // running it (tests, fuzzers) see it.
    if (WIFEXITED(status) && WEXITSTATUS(status) == k_reader_own_fault)
        std::abort();
#endif
    if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != k_reader_done) {
        error = std::string("cannot read ") + path + ": the reader failed on it";
        return false;
    }
    error.clear();
    if (!decode_result(result, out, error)) {
        if (error.empty())
            error = std::string("cannot read ") + path;
        out = x_mesh{};
        return false;
    }
    return true;
}
