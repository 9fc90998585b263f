// What a photo learns about its place and maker: the GPS dictionary, the TIFF additions, and the
// address list built from reverse geocoding and nearby searches.
#include "capture/photo_metadata.h"

#include "capture/local_search.h"
#include "capture/location_custom.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/sensors/cl_geocoder.h"
#include "tests/capture/capture_engine_test_support.h"

namespace {

std::shared_ptr<CLLocation> at(double lat, double lon, double alt, double timestamp) {
    CLLocation::Fields f;
    f.coordinate = {lat, lon};
    f.altitude = alt;
    f.timestamp = timestamp;
    return make<CLLocation>(f);
}

CMSampleBufferRef photoBuffer() {
    return CMSampleBuffer::withData(Bytes{0xFF, 0xD8}, nullptr, {});
}

}  // namespace

TEST(PhotoGps, HemispheresAltitudeAndTimeStamp) {
    // 2026-01-01 12:03:07.25 UTC (14:03:07 in a zone two hours ahead).
    double t = 788918400.0 + 12 * 3600 + 3 * 60 + 7.25;
    auto south = gpsDictionary(*at(-33.9, 18.4, -5, t));
    EXPECT_DOUBLE_EQ(south.get(kCGImagePropertyGPSLatitude).doubleValue(), 33.9);
    EXPECT_EQ(south.get(kCGImagePropertyGPSLatitudeRef).stringValue(), "S");
    EXPECT_DOUBLE_EQ(south.get(kCGImagePropertyGPSLongitude).doubleValue(), 18.4);
    EXPECT_EQ(south.get(kCGImagePropertyGPSLongitudeRef).stringValue(), "E");
    EXPECT_DOUBLE_EQ(south.get(kCGImagePropertyGPSAltitude).doubleValue(), 5.0);
    EXPECT_EQ(south.get(kCGImagePropertyGPSAltitudeRef).integerValue(), 1);
    EXPECT_EQ(south.get(kCGImagePropertyGPSTimeStamp).stringValue(), "12:03:07.25");
    EXPECT_EQ(south.size(), 7u);

    auto origin = gpsDictionary(*at(0, 0, 0, 0));
    EXPECT_EQ(origin.get(kCGImagePropertyGPSLatitudeRef).stringValue(), "N");
    EXPECT_EQ(origin.get(kCGImagePropertyGPSLongitudeRef).stringValue(), "E");
    EXPECT_EQ(origin.get(kCGImagePropertyGPSAltitudeRef).integerValue(), 0);
    EXPECT_EQ(gpsDictionary(*at(10, -70.5, 3, 0)).get(kCGImagePropertyGPSLongitudeRef).stringValue(), "W");

    // The altitude's tag holds 32 bits a side of sea level: beyond that the photo has no altitude,
    // but keeps its position.
    for (double altitude : {4294967295.0, -4294967295.0}) {
        auto edge = gpsDictionary(*at(1, 2, altitude, 0));
        EXPECT_DOUBLE_EQ(edge.get(kCGImagePropertyGPSAltitude).doubleValue(), 4294967295.0);
        EXPECT_EQ(edge.get(kCGImagePropertyGPSAltitudeRef).integerValue(), altitude < 0 ? 1 : 0);
    }
    for (double altitude : {4294967296.0, -4294967296.0, 1e300, -1e300}) {
        auto beyond = gpsDictionary(*at(1, 2, altitude, 0));
        EXPECT_FALSE(beyond.contains(kCGImagePropertyGPSAltitude)) << altitude;
        EXPECT_FALSE(beyond.contains(kCGImagePropertyGPSAltitudeRef)) << altitude;
        EXPECT_DOUBLE_EQ(beyond.get(kCGImagePropertyGPSLatitude).doubleValue(), 1.0);
    }

    // Assigned to a buffer, it replaces any GPS the buffer had and travels with it.
    auto buffer = photoBuffer();
    buffer->setAttachment(kCGImagePropertyGPSDictionary, Value::dictionary({{"Speed", Value(3.0)}}),
                          CMAttachmentMode::ShouldNotPropagate);
    assignLocation(*at(1, 2, 3, 0), buffer);
    CMAttachmentMode mode{};
    Value gps = buffer->attachment(kCGImagePropertyGPSDictionary, &mode);
    EXPECT_EQ(mode, CMAttachmentMode::ShouldPropagate);
    EXPECT_TRUE(gps["Speed"].isNull());
    EXPECT_DOUBLE_EQ(gps["Latitude"].doubleValue(), 1.0);
}

TEST(PhotoTiffAdditions, KeepTheOtherEntriesAndStartFromNothingWhenThereIsNoTiff) {
    auto buffer = photoBuffer();
    buffer->setAttachment(kCGImagePropertyTIFFDictionary,
                          Value::dictionary({{"Model", Value("Back Camera")}, {"Make", Value("Other")}}),
                          CMAttachmentMode::ShouldPropagate);
    Value original = buffer->attachment(kCGImagePropertyTIFFDictionary);
    addTiffAdditions(buffer, "Korva 'Amber'", 788918400.0);
    Value tiff = buffer->attachment(kCGImagePropertyTIFFDictionary);
    EXPECT_EQ(tiff["Model"].stringValue(), "Back Camera");
    EXPECT_EQ(tiff["Make"].stringValue(), kPhotoMake);
    EXPECT_EQ(tiff["Software"].stringValue(), "Korva 'Amber'");
    EXPECT_EQ(tiff["DateTime"].stringValue(), tiffDateTime(788918400.0));
    EXPECT_EQ(tiff["DateTime"].stringValue().size(), 19u);
    // The change was made on a copy; the dictionary the buffer held before is untouched.
    EXPECT_EQ(original["Make"].stringValue(), "Other");

    auto bare = photoBuffer();
    addTiffAdditions(bare, "Korva", 0);
    CMAttachmentMode mode{};
    Value added = bare->attachment(kCGImagePropertyTIFFDictionary, &mode);
    EXPECT_EQ(mode, CMAttachmentMode::ShouldPropagate);
    EXPECT_EQ(added.count(), 3u);
    EXPECT_EQ(added["Software"].stringValue(), "Korva");
}

class AddressTest : public VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        CLGeocoder::Place city;
        city.fields.name = "Centre";
        city.fields.locality = "Helsinki";
        city.fields.coordinate = {60.17, 24.94};
        CLGeocoder::Place village;
        village.fields.name = "Kylä";
        village.fields.locality = "Kylä";
        village.fields.thoroughfare = "Raitti 1";
        village.fields.administrativeArea = "Uusimaa";
        village.fields.coordinate = {60.5, 25.5};
        CLGeocoder::setOfflinePlaces({city, village});
        LocalSearch::setProvider([this](const LocalSearchRequest& r, LocalSearch::Answer answer) {
            queries.push_back(r.naturalLanguageQuery);
            EXPECT_DOUBLE_EQ(r.latitudeDelta, 0.1);
            answer(
                {{r.naturalLanguageQuery + " place", ValueDictionary{{"City", Value("Helsinki")}}}, {"nameless", {}}});
        });
    }
    void TearDown() override {
        LocalSearch::setProvider(nullptr);
        CLGeocoder::resetOfflinePlaces();
        VirtualClockTest::TearDown();
    }
    std::vector<std::vector<PlaceEntry>> run(std::shared_ptr<CLLocation> location) {
        std::vector<std::vector<PlaceEntry>> calls;
        address(location, [&](std::vector<PlaceEntry> places) { calls.push_back(std::move(places)); });
        for (int i = 0; i < 20; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            loop().runUntilIdle();
        }
        return calls;
    }
    std::vector<std::string> queries;
};

TEST_F(AddressTest, PlacemarkEntriesThenTheThreeSearchesInOrderAndOneCompletion) {
    auto calls = run(CLLocation::withLatitude(60.171, 24.941));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(queries, (std::vector<std::string>{"restaurants", "coffee", "building"}));
    std::vector<PlaceEntry> expected{
        {"Helsinki", "Helsinki"}, {"restaurants place", "Helsinki"}, {"nameless", ""}, {"coffee place", "Helsinki"},
        {"nameless", ""},         {"building place", "Helsinki"},    {"nameless", ""}};
    EXPECT_EQ(calls[0], expected);

    queries.clear();
    calls = run(CLLocation::withLatitude(60.5, 25.5));
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_GE(calls[0].size(), 3u);
    EXPECT_EQ(calls[0][0], (PlaceEntry{"Raitti 1", "Kylä"}));
    EXPECT_EQ(calls[0][1], (PlaceEntry{"Kylä", "Kylä"}));
    EXPECT_EQ(calls[0][2], (PlaceEntry{"Uusimaa", "Kylä"}));
}

TEST_F(AddressTest, NoPlaceAnswersOnceWithAnEmptyListAndSearchesWithoutAProviderFindNothing) {
    auto calls = run(CLLocation::withLatitude(-45.0, 170.0));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].empty());
    EXPECT_TRUE(queries.empty());

    LocalSearch::setProvider(nullptr);
    std::vector<std::vector<PlaceEntry>> found;
    nearby(CLLocation::withLatitude(0, 0), "coffee", [&](std::vector<PlaceEntry> p) { found.push_back(p); });
    DispatchQueue::waitUntilBackgroundIdle();
    loop().runUntilIdle();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].empty());
}
