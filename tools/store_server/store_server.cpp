// The store server TavlinOS's Store client talks to: a folder of files over
// HTTP. GET /list names them one per line, GET /download/<name> sends one,
// POST /upload (multipart/form-data, field "file") adds one. Names are
// plain file names; an existing file is never overwritten. A folder that
// holds no files at start is filled from the --seed folders.
#include <httplib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Options {
  std::string host = "127.0.0.1";
  int port = 8088;
  std::string dir = "store";
  size_t max_upload = 1024 * 1024;  // the whole request body
  std::vector<std::string> seeds;   // folders whose files an empty store starts with
};

// A name that stays inside the folder and cannot be mistaken for a path,
// a hidden file or one of our temporary files.
bool name_is_allowed(const std::string& name) {
  if (name.empty() || name.size() > 255 || name[0] == '.') return false;
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return false;
  if (name.find("..") != std::string::npos) return false;
  return std::none_of(name.begin(), name.end(),
                      [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

bool is_listed(const fs::directory_entry& entry) {
  return entry.is_regular_file() && name_is_allowed(entry.path().filename().string());
}

bool store_is_empty(const Options& o) {
  for (const auto& entry : fs::directory_iterator(o.dir))
    if (is_listed(entry)) return false;
  return true;
}

// Copies every file of the starter folders into an empty store; a name met
// twice keeps its first copy.
void seed(const Options& o) {
  if (o.seeds.empty() || !store_is_empty(o)) return;
  for (const auto& folder : o.seeds) {
    std::error_code ec;
    int copied = 0;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      std::error_code copy_ec;
      if (is_listed(entry) &&
          fs::copy_file(entry.path(), fs::path(o.dir) / entry.path().filename(), fs::copy_options::skip_existing, copy_ec))
        ++copied;
    }
    if (ec) std::cerr << "store_server: cannot seed from " << folder << ": " << ec.message() << "\n";
    std::cout << "seeded " << copied << " files from " << folder << std::endl;
  }
}

void reply(httplib::Response& res, int status, const std::string& text) {
  res.status = status;
  res.set_content(text + "\n", "text/plain");
}

void list_files(const Options& o, httplib::Response& res) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(o.dir))
    if (is_listed(entry)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string body;
  for (const auto& n : names) body += n + "\n";
  res.set_content(body, "text/plain");
}

void download(const Options& o, const httplib::Request& req, httplib::Response& res) {
  const std::string name = req.matches[1];
  if (!name_is_allowed(name)) return reply(res, 400, "bad name");
  std::ifstream in(fs::path(o.dir) / name, std::ios::binary);
  if (!in) return reply(res, 404, "no such file");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  res.set_content(bytes, "application/octet-stream");
}

// Writes the file under a temporary name, then links it into place: the
// link fails if the name exists, so a racing upload cannot overwrite.
int store(const Options& o, const std::string& name, const std::string& content) {
  const fs::path final_path = fs::path(o.dir) / name;
  std::string temp = (fs::path(o.dir) / ".upload-XXXXXX").string();
  const int fd = mkstemp(temp.data());
  if (fd < 0) return 500;
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool written = done == content.size() && fsync(fd) == 0;
  close(fd);
  int status = 500;
  if (written) status = link(temp.c_str(), final_path.c_str()) == 0 ? 200 : errno == EEXIST ? 409 : 500;
  unlink(temp.c_str());
  return status;
}

void upload(const Options& o, const httplib::Request& req, httplib::Response& res) {
  if (!req.is_multipart_form_data() || !req.has_file("file"))
    return reply(res, 400, "expected multipart/form-data with a field named file");
  const httplib::MultipartFormData file = req.get_file_value("file");
  if (!name_is_allowed(file.filename)) return reply(res, 400, "bad name");
  const int status = store(o, file.filename, file.content);
  if (status == 409) return reply(res, 409, "a file of that name is already in the store");
  if (status != 200) return reply(res, 500, "could not store the file");
  std::cout << "stored " << file.filename << " (" << file.content.size() << " bytes)" << std::endl;
  reply(res, 200, "stored " + file.filename);
}

bool parse_args(int argc, char** argv, Options& o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i], value = argv[i + 1];
    if (key == "--host") o.host = value;
    else if (key == "--port") o.port = std::atoi(value.c_str());
    else if (key == "--dir") o.dir = value;
    else if (key == "--seed") o.seeds.push_back(value);
    else if (key == "--max-upload") o.max_upload = std::strtoull(value.c_str(), nullptr, 10);
    else return false;
  }
  return argc % 2 == 1 && o.port > 0 && o.port < 65536 && o.max_upload > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse_args(argc, argv, o)) {
    std::cerr << "usage: store_server [--host ADDR] [--port N] [--dir FOLDER] [--max-upload BYTES] [--seed FOLDER]...\n";
    return 2;
  }
  std::error_code ec;
  fs::create_directories(o.dir, ec);
  if (!fs::is_directory(o.dir)) {
    std::cerr << "store_server: " << o.dir << " is not a folder\n";
    return 1;
  }
  seed(o);
  httplib::Server server;
  server.set_payload_max_length(o.max_upload);
  server.Get("/list", [&](const httplib::Request&, httplib::Response& res) { list_files(o, res); });
  server.Get(R"(/download/(.+))",
             [&](const httplib::Request& req, httplib::Response& res) { download(o, req, res); });
  server.Post("/upload",
              [&](const httplib::Request& req, httplib::Response& res) { upload(o, req, res); });
  server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
    std::cout << req.method << " " << req.path << " " << res.status << std::endl;
  });
  std::cout << "store_server: http://" << o.host << ":" << o.port << " serving " << o.dir << std::endl;
  if (!server.listen(o.host.c_str(), o.port)) {
    std::cerr << "store_server: cannot listen on " << o.host << ":" << o.port << "\n";
    return 1;
  }
  return 0;
}
