// Facts about music-library items and media URLs: the library permission, an item's subtitle,
// id, type and lyrics, looking an item up by URL or id; whether a URL is remote or can be opened
// as an asset, its duration, track table and a thumbnail (cover art, else the first frame that is
// not flat). Synchronous on the caller's thread, except the photo-library save.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/media/mp_media_library.h"
#include "platform/ui/draw/image.h"

class LanguageService;
class UIView;

std::int64_t authorizationStatus1();

// Whether a URL asset can be made from the item's asset URL.
bool test(const MPMediaItem& item);
// The artist and the album joined by ", ", or the longer alone when it contains the shorter.
std::string subtitle(const MPMediaItem& item);
std::string subtitleOf(const std::string& artist, const std::string& album);
std::shared_ptr<MPMediaItem> mediaItemFromURL(const std::shared_ptr<NSURL>& url);
std::shared_ptr<MPMediaItem> initWithPersistentID(const Value& persistentID);
std::string pid(const MPMediaItem& item);
std::uint64_t mediaType(const MPMediaItem& item);
std::string lyric(const MPMediaItem& item);

bool isRemote(const NSURL& url);
bool isDualLoadingSupported(const NSURL& url);
double mediaDuration(const std::shared_ptr<NSURL>& url);
Value trackDict_AV(const std::shared_ptr<NSURL>& url, LanguageService* languages);
// A placeholder kept for callers of the design: no subtitle is loaded, the answer is always none.
std::shared_ptr<NSObject> loadSubtitle_AV(const std::shared_ptr<NSURL>& url, std::int32_t index,
                                          const std::shared_ptr<UIView>& hudView);
// Cover art, else a picture whose quarter points all differ from its centre; none for no asset.
std::shared_ptr<UIImage> loadThumbnailImage_AV(const std::shared_ptr<NSURL>& url);
// The candidate times of the thumbnail search, in units of the asset's timescale.
std::vector<std::int64_t> thumbnailCandidates(std::int64_t duration);
// The movie, respectively image, file at the URL into the photo library; the answer on the main queue.
void saveVideoToPhotos(const std::shared_ptr<NSURL>& url, std::function<void(bool)> completion);
void saveImageToPhotos(const std::shared_ptr<NSURL>& url, std::function<void(bool)> completion);
