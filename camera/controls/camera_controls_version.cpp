// The placeholder that gives the library a source before its controls arrive.
int cameraControlsVersion() { return 1; }
