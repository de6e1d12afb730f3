/* -------------------------------------*/
/* 地図タイル表示用　JavaScriptファイル */
/* -------------------------------------*/
/* サイトのスクリプトが使う地図の部品を Leaflet で用意する */

(function () {
	'use strict';

	/* [設定] 地図タイル */
	var tiles = {
		address: 'https://cyberjapandata.gsi.go.jp/xyz/std/{z}/{x}/{y}.png',
		attribution: '<a href="https://maps.gsi.go.jp/development/ichiran.html">国土地理院</a>',
		maxZoom: 18
	};

	/* 概観図の大きさ(ピクセル)と、主地図からのズームの差 */
	var overviewSize = 150;
	var overviewZoomOut = 4;

	var maps = [];

	function tileLayer(attribution) {
		return L.tileLayer(tiles.address, { maxZoom: tiles.maxZoom, attribution: attribution });
	}

	/* 地図の部品でないものは受け付けない */
	function refuse(reason) {
		throw new TypeError(reason);
	}

	/* [部品] 緯度・経度 */
	function GLatLng(lat, lng) {
		this.position = L.latLng(Number(lat), Number(lng));
	}
	GLatLng.prototype.lat = function () {
		return this.position.lat;
	};
	GLatLng.prototype.lng = function () {
		return this.position.lng;
	};

	function positionOf(point, what) {
		if (!(point instanceof GLatLng)) refuse(what + ' is not a GLatLng');
		return point.position;
	}

	/* [部品] 範囲 */
	function GLatLngBounds(southWest, northEast) {
		var southWestCorner = positionOf(southWest, 'the south-west corner');
		var northEastCorner = positionOf(northEast, 'the north-east corner');
		this.bounds = L.latLngBounds(southWestCorner, northEastCorner);
	}

	/* [部品] 線 */
	function GPolyline(points, color, weight, opacity) {
		if (!Array.isArray(points)) refuse('the points of a polyline are not an array');
		var positions = [];
		for (var i = 0; i < points.length; i++) {
			positions.push(positionOf(points[i], 'point ' + i + ' of a polyline'));
		}
		this.layer = L.polyline(positions, { color: color, weight: weight, opacity: opacity, interactive: false });
	}

	/* [部品] 概観図: 主地図の表示範囲を枠で示し、クリックした所へ主地図を動かす */
	function addOverview(main) {
		var frame = L.control({ position: 'bottomright' });
		frame.onAdd = function () {
			var container = L.DomUtil.create('div', 'leaflet-bar');
			container.style.width = overviewSize + 'px';
			container.style.height = overviewSize + 'px';
			L.DomEvent.disableClickPropagation(container);
			L.DomEvent.disableScrollPropagation(container);
			return container;
		};
		frame.addTo(main);
		var overview = L.map(frame.getContainer(), {
			zoomControl: false,
			attributionControl: false,
			dragging: false,
			touchZoom: false,
			scrollWheelZoom: false,
			doubleClickZoom: false,
			boxZoom: false,
			keyboard: false
		});
		tileLayer('').addTo(overview);
		maps.push(overview);
		var view = L.rectangle([[0, 0], [0, 0]], { weight: 1, fillOpacity: 0.1, interactive: false });
		function follow() {
			var zoom = Math.max(main.getZoom() - overviewZoomOut, 0);
			overview.setView(main.getCenter(), zoom, { animate: false });
			view.setBounds(main.getBounds()).addTo(overview);
		}
		main.whenReady(function () {
			follow();
			main.on('moveend', follow);
		});
		overview.on('click', function (e) {
			main.panTo(e.latlng);
		});
	}

	/* [部品] 操作部品 */
	function mapControl(addTo) {
		var Control = function () {};
		Control.prototype.addTo = addTo;
		return Control;
	}
	var GLargeMapControl = mapControl(function (map) {
		L.control.zoom({ zoomInTitle: '拡大', zoomOutTitle: '縮小' }).addTo(map);
	});
	/* 地図の種類は一つなので、切り替えるものはない */
	var GMapTypeControl = mapControl(function () {});
	var GScaleControl = mapControl(function (map) {
		L.control.scale({ imperial: false }).addTo(map);
	});
	var GOverviewMapControl = mapControl(addOverview);
	var controls = [GLargeMapControl, GMapTypeControl, GScaleControl, GOverviewMapControl];

	var G_NORMAL_MAP = { name: 'G_NORMAL_MAP' };

	/* [部品] 地図 */
	function GMap(container) {
		if (!(container instanceof HTMLElement)) refuse('the map container is not an element');
		this.leaflet = L.map(container, { zoomControl: false });
		tileLayer(tiles.attribution).addTo(this.leaflet);
		maps.push(this.leaflet);
	}

	GMap.prototype.addControl = function (control) {
		var known = controls.some(function (kind) {
			return control instanceof kind;
		});
		if (!known) refuse('not a map control');
		control.addTo(this.leaflet);
	};

	GMap.prototype.setMapType = function (type) {
		if (type !== G_NORMAL_MAP) refuse('not a map type');
	};

	/* 範囲が地図に収まる最大のズーム */
	GMap.prototype.getBoundsZoomLevel = function (bounds) {
		if (!(bounds instanceof GLatLngBounds)) refuse('not a GLatLngBounds');
		var leaflet = this.leaflet;
		var size = leaflet.getSize();
		var zoom = leaflet.getMaxZoom();
		for (; zoom > leaflet.getMinZoom(); zoom--) {
			var northEast = leaflet.project(bounds.bounds.getNorthEast(), zoom);
			var southWest = leaflet.project(bounds.bounds.getSouthWest(), zoom);
			if (northEast.x - southWest.x <= size.x && southWest.y - northEast.y <= size.y) break;
		}
		return zoom;
	};

	GMap.prototype.setCenter = function (center, zoom) {
		this.leaflet.setView(positionOf(center, 'the centre'), zoom, { animate: false });
	};

	GMap.prototype.addOverlay = function (overlay) {
		if (!(overlay instanceof GPolyline)) refuse('not an overlay');
		overlay.layer.addTo(this.leaflet);
	};

	GMap.prototype.removeOverlay = function (overlay) {
		if (!(overlay instanceof GPolyline)) refuse('not an overlay');
		this.leaflet.removeLayer(overlay.layer);
	};

	/* ページを閉じるときに地図を片付ける */
	function GUnload() {
		while (maps.length > 0) maps.pop().remove();
	}

	window.GLatLng = GLatLng;
	window.GLatLngBounds = GLatLngBounds;
	window.GPolyline = GPolyline;
	window.GMap = GMap;
	window.GLargeMapControl = GLargeMapControl;
	window.GMapTypeControl = GMapTypeControl;
	window.GScaleControl = GScaleControl;
	window.GOverviewMapControl = GOverviewMapControl;
	window.G_NORMAL_MAP = G_NORMAL_MAP;
	window.GUnload = GUnload;
})();
