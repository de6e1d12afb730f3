// A stand-in for the map service's script (version 2 of its JavaScript API),
// served in its place to the pages that krm map writes. It provides what the
// site's script uses, records every call in window.mapApi.calls, and draws
// the polylines on a canvas so that a screenshot shows the track.
//
// Like the service, it refuses what is not one of its own objects: a polyline
// of something that is not a GLatLng, or an overlay that is not a polyline,
// throws a TypeError (and is recorded with the reason).
(function () {
  'use strict';

  const calls = [];
  let nextOverlayId = 1;
  let theMap = null;

  function record(call, details) {
    calls.push(Object.assign({ call }, details || {}));
  }

  function GLatLng(lat, lng) {
    this.latitude = Number(lat);
    this.longitude = Number(lng);
    record('GLatLng', { lat: this.latitude, lng: this.longitude });
  }
  GLatLng.prototype.lat = function () {
    return this.latitude;
  };
  GLatLng.prototype.lng = function () {
    return this.longitude;
  };

  // A refused call is recorded too, with the reason.
  function refuse(call, reason) {
    record(call, { refused: reason });
    throw new TypeError(reason);
  }

  function requireLatLng(value, what, call) {
    if (!(value instanceof GLatLng)) refuse(call, what + ' is not a GLatLng');
    return value;
  }

  function GLatLngBounds(southWest, northEast) {
    this.southWest = requireLatLng(southWest, 'the south-west corner', 'GLatLngBounds');
    this.northEast = requireLatLng(northEast, 'the north-east corner', 'GLatLngBounds');
    record('GLatLngBounds', { south: southWest.lat(), west: southWest.lng(), north: northEast.lat(), east: northEast.lng() });
  }

  function GPolyline(latlngs, color, weight, opacity) {
    if (!Array.isArray(latlngs)) refuse('GPolyline', 'the points of a polyline are not an array');
    const points = latlngs.map((point, i) => requireLatLng(point, 'point ' + i + ' of a polyline', 'GPolyline'));
    this.id = nextOverlayId++;
    this.points = points.map((point) => [point.lat(), point.lng()]);
    this.color = color;
    this.weight = weight;
    this.opacity = opacity;
    record('GPolyline', { id: this.id, points: this.points.length, first: this.points[0], color, weight, opacity });
  }

  function control(kind) {
    const make = function () {
      this.kind = kind;
      record(kind);
    };
    return make;
  }
  const GLargeMapControl = control('GLargeMapControl');
  const GMapTypeControl = control('GMapTypeControl');
  const GScaleControl = control('GScaleControl');
  const GOverviewMapControl = control('GOverviewMapControl');
  const controlKinds = [GLargeMapControl, GMapTypeControl, GScaleControl, GOverviewMapControl];

  const G_NORMAL_MAP = { name: 'G_NORMAL_MAP' };

  const TILE_SIZE = 256;
  const MAX_ZOOM = 19;

  // Web Mercator world coordinates at zoom 0, 256 units wide.
  function project(lat, lng) {
    const sin = Math.min(Math.max(Math.sin((lat * Math.PI) / 180), -0.9999), 0.9999);
    return {
      x: TILE_SIZE * (0.5 + lng / 360),
      y: TILE_SIZE * (0.5 - Math.log((1 + sin) / (1 - sin)) / (4 * Math.PI)),
    };
  }

  function GMap(container) {
    if (!(container instanceof HTMLElement)) refuse('GMap', 'the map container is not an element');
    this.container = container;
    this.canvas = document.createElement('canvas');
    this.canvas.width = container.clientWidth || 640;
    this.canvas.height = container.clientHeight || 480;
    this.canvas.style.display = 'block';
    container.appendChild(this.canvas);
    this.overlays = [];
    this.controls = [];
    this.center = null;
    this.zoom = 0;
    this.mapType = null;
    theMap = this;
    record('GMap', { width: this.canvas.width, height: this.canvas.height });
    this.draw();
  }

  GMap.prototype.addControl = function (added) {
    if (!controlKinds.some((kind) => added instanceof kind)) refuse('addControl', 'not a map control');
    this.controls.push(added.kind);
    record('addControl', { control: added.kind });
    this.draw();
  };

  GMap.prototype.setMapType = function (type) {
    if (type !== G_NORMAL_MAP) refuse('setMapType', 'not a map type');
    this.mapType = type.name;
    record('setMapType', { type: type.name });
  };

  // The largest zoom at which the bounds fit the map.
  GMap.prototype.getBoundsZoomLevel = function (bounds) {
    if (!(bounds instanceof GLatLngBounds)) refuse('getBoundsZoomLevel', 'not a GLatLngBounds');
    const sw = project(bounds.southWest.lat(), bounds.southWest.lng());
    const ne = project(bounds.northEast.lat(), bounds.northEast.lng());
    const width = Math.abs(ne.x - sw.x);
    const height = Math.abs(sw.y - ne.y);
    let zoom = 0;
    while (zoom < MAX_ZOOM && width * 2 ** (zoom + 1) <= this.canvas.width && height * 2 ** (zoom + 1) <= this.canvas.height) {
      zoom++;
    }
    record('getBoundsZoomLevel', {
      south: bounds.southWest.lat(),
      west: bounds.southWest.lng(),
      north: bounds.northEast.lat(),
      east: bounds.northEast.lng(),
      result: zoom,
    });
    return zoom;
  };

  GMap.prototype.setCenter = function (center, zoom) {
    this.center = requireLatLng(center, 'the centre', 'setCenter');
    this.zoom = zoom;
    record('setCenter', { lat: center.lat(), lng: center.lng(), zoom });
    this.draw();
  };

  GMap.prototype.addOverlay = function (overlay) {
    if (!(overlay instanceof GPolyline)) refuse('addOverlay', 'not an overlay');
    this.overlays.push(overlay);
    record('addOverlay', { id: overlay.id, points: overlay.points.length });
    this.draw();
  };

  GMap.prototype.removeOverlay = function (overlay) {
    if (!(overlay instanceof GPolyline)) refuse('removeOverlay', 'not an overlay');
    const at = this.overlays.indexOf(overlay);
    if (at >= 0) this.overlays.splice(at, 1);
    record('removeOverlay', { id: overlay.id, wasShown: at >= 0 });
    this.draw();
  };

  GMap.prototype.toCanvas = function (lat, lng) {
    const scale = 2 ** this.zoom;
    const point = project(lat, lng);
    const centre = project(this.center.lat(), this.center.lng());
    return {
      x: this.canvas.width / 2 + (point.x - centre.x) * scale,
      y: this.canvas.height / 2 + (point.y - centre.y) * scale,
    };
  };

  GMap.prototype.draw = function () {
    const context = this.canvas.getContext('2d');
    context.globalAlpha = 1;
    context.fillStyle = '#e8eef0';
    context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    context.strokeStyle = '#cdd6d9';
    context.lineWidth = 1;
    for (let x = 0; x < this.canvas.width; x += 64) context.strokeRect(x, 0, 64, this.canvas.height);
    for (let y = 0; y < this.canvas.height; y += 64) context.strokeRect(0, y, this.canvas.width, 64);
    if (this.center) {
      for (const line of this.overlays) {
        context.globalAlpha = line.opacity;
        context.strokeStyle = line.color;
        context.lineWidth = line.weight;
        context.lineJoin = 'round';
        context.beginPath();
        line.points.forEach(([lat, lng], i) => {
          const { x, y } = this.toCanvas(lat, lng);
          if (i === 0) context.moveTo(x, y);
          else context.lineTo(x, y);
        });
        context.stroke();
      }
    }
    context.globalAlpha = 1;
    context.fillStyle = '#333';
    context.font = '11px sans-serif';
    context.fillText('stand-in map · zoom ' + this.zoom + ' · ' + this.controls.join(', '), 8, this.canvas.height - 8);
  };

  window.GLatLng = GLatLng;
  window.GLatLngBounds = GLatLngBounds;
  window.GPolyline = GPolyline;
  window.GMap = GMap;
  window.GLargeMapControl = GLargeMapControl;
  window.GMapTypeControl = GMapTypeControl;
  window.GScaleControl = GScaleControl;
  window.GOverviewMapControl = GOverviewMapControl;
  window.G_NORMAL_MAP = G_NORMAL_MAP;
  window.GUnload = function () {
    record('GUnload');
  };

  // For the tests: the calls, and the lines on the map now.
  window.mapApi = {
    calls,
    shownLines() {
      return theMap ? theMap.overlays.map(({ id, points, color, weight, opacity }) => ({ id, points, color, weight, opacity })) : [];
    },
  };
})();
